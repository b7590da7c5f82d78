// SPDX-License-Identifier: MIT
#include "platform/MessageErrorBox.h"

#include <QMessageBox>

void MessageErrorBox::showError(const QString& message)
{
    QMessageBox::critical(nullptr, QStringLiteral("Nudgeon"), message);
}
