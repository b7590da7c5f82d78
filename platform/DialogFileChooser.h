#pragma once

#include "FileChooser.h"

class QWidget;

// The file chooser as the desktop's open-file dialog over the given window.
class DialogFileChooser : public FileChooser
{
public:
    explicit DialogFileChooser(QWidget* parent = nullptr) : parent(parent) {}
    std::optional<QString> chooseFile(const QString& title, const QString& filters) override;

private:
    QWidget* parent;
};
