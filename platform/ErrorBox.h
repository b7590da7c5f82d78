// SPDX-License-Identifier: MIT
#pragma once
// The program's standard error box.

#include <QString>

class ErrorBox
{
public:
    virtual ~ErrorBox() = default;
    // Tells the user of an error; returns when the user has seen it.
    virtual void showError(const QString& message) = 0;
};
