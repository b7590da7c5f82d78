// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileChooser.h"

class QFileDialog;
class QWidget;

// The file chooser as the desktop's open-file dialog over the given window.
class DialogFileChooser : public FileChooser
{
public:
    explicit DialogFileChooser(QWidget* parent = nullptr) : parent(parent) {}
    std::optional<QString> chooseProgram(const QString& title) override;

    // Lets the dialog list folders and the files the user may run, whatever their names.
    static void offerProgramsOnly(QFileDialog& dialog);

private:
    QWidget* parent;
};
