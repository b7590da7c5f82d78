// SPDX-License-Identifier: MIT
#include "platform/DialogFileChooser.h"

#include "platform/ProgramFilter.h"

#include <QFileDialog>

void DialogFileChooser::offerProgramsOnly(QFileDialog& dialog)
{
    // The desktop's own dialog cannot filter by permissions; Qt's can, through a proxy.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setProxyModel(new ProgramFilter(&dialog));
}

std::optional<QString> DialogFileChooser::chooseProgram(const QString& title)
{
    QFileDialog dialog(parent, title);
    offerProgramsOnly(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}
