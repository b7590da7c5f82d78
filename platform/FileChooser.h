// SPDX-License-Identifier: MIT
#pragma once
// The desktop's dialog for choosing a program to run.

#include <QString>
#include <optional>

class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // Asks the user for a program: the dialog offers the files the user may run, and folders
    // to go through. Nothing when the user cancels.
    virtual std::optional<QString> chooseProgram(const QString& title) = 0;
};
