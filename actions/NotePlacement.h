// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a new note goes: where the desktop would put a dialog, centred on the free part of the
// screen, clear of its panels.
class NotePlacement
{
public:
    // The top left corner of a window of this size centred in the screen's free area; a
    // window larger than the area keeps its top left corner inside it.
    static QPoint centred(const QRect& available, const QSize& size);
    // Moves the window there on the screen under the pointer, or the primary screen.
    static void place(QWidget& window);
};
