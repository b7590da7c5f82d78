// SPDX-License-Identifier: MIT
#include "desktop/MakerLinks.h"

#include "desktop/AboutDialog.h"
#include "platform/Launcher.h"

#include <QFileInfo>

const QString MakerLinks::webPage = QStringLiteral("https://nudgeon.example/");
const QString MakerLinks::emailAddress = QStringLiteral("help@nudgeon.example");
const QString MakerLinks::helpFile = QStringLiteral("helpndg.html");

MakerLinks::MakerLinks(Launcher& launcher, const QStringList& helpFolders)
    : launcher(launcher), helpFolders(helpFolders)
{}

QString MakerLinks::helpFolder() const
{
    for (const QString& folder : helpFolders) {
        if (QFileInfo::exists(folder + helpFile))
            return folder;
    }
    return helpFolders.value(0);
}

void MakerLinks::openHelp()
{
    launcher.launch(helpFile, QString(), helpFolder());
}

void MakerLinks::openWebPage()
{
    launcher.launch(webPage, QString(), QString());
}

void MakerLinks::writeEmail()
{
    launcher.launch(QStringLiteral("mailto:") + emailAddress, QString(), QString());
}

void MakerLinks::showAbout()
{
    AboutDialog about;
    QObject::connect(&about, &AboutDialog::webPageClicked, [this] { openWebPage(); });
    QObject::connect(&about, &AboutDialog::emailClicked, [this] { writeEmail(); });
    about.exec();
}
