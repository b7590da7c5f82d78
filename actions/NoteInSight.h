// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QWidget;

// Keeps a shown note above the program's other windows where the desktop ignores "stay on
// top" (Wayland): when another window of the program shows while the note does, the note
// becomes that window's child, which the compositor keeps above it.
class NoteInSight : public QObject
{
    Q_OBJECT

public:
    explicit NoteInSight(QWidget& note);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& note;
};
