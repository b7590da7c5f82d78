// SPDX-License-Identifier: MIT
#include "platform/DialogFileChooser.h"

#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(DialogFileChooser, OffersFoldersAndTheFilesThatMayRunWhateverTheirNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner;
    const struct
    {
        const char* name;
        QFile::Permissions permissions;
    } files[] = {
        {"tool", readable | QFile::ExeOwner},
        {"backup.sh", readable | QFile::ExeOwner},
        {"notes.txt", readable},
        {"setup.exe", readable},
        {"run.bat", readable},
    };
    for (const auto& f : files) {
        QFile file(dir.filePath(f.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        ASSERT_TRUE(file.setPermissions(f.permissions));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));

    QFileDialog dialog;
    DialogFileChooser::offerProgramsOnly(dialog);
    auto* filter = qobject_cast<QSortFilterProxyModel*>(dialog.proxyModel());
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(filter, nullptr);
    ASSERT_NE(model, nullptr);
    QEventLoop wait;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &wait, [&](const QString& path) {
        if (path == dir.path())
            wait.quit();
    });
    QTimer::singleShot(5000, &wait, &QEventLoop::quit);
    dialog.setDirectory(dir.path());
    wait.exec();

    const QModelIndex folder = filter->mapFromSource(model->index(dir.path()));
    QStringList offered;
    for (int row = 0; row < filter->rowCount(folder); ++row)
        offered.append(filter->index(row, 0, folder).data().toString());
    offered.sort();
    EXPECT_EQ(offered, QStringList({"backup.sh", "sub", "tool"}));
}
