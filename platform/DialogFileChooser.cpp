#include "DialogFileChooser.h"

#include <QFileDialog>

std::optional<QString> DialogFileChooser::chooseFile(const QString& title, const QString& filters)
{
    const QString file = QFileDialog::getOpenFileName(parent, title, QString(), filters);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}
