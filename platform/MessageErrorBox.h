// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ErrorBox.h"

// The error box as the desktop's critical message box, titled with the program's name.
class MessageErrorBox : public ErrorBox
{
public:
    void showError(const QString& message) override;
};
