// SPDX-License-Identifier: MIT
#include "actions/NoteInSight.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QSignalBlocker>
#include <QWidget>
#include <QWindow>

NoteInSight::NoteInSight(QWidget& note) : QObject(&note), note(note)
{
    // X11 window managers honour "stay on top"; only Wayland needs the help.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        QCoreApplication::instance()->installEventFilter(this);
}

bool NoteInSight::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || watched == &note || !note.isVisible())
        return false;
    auto* shown = qobject_cast<QWidget*>(watched);
    // The note's own menus and tips pass by; a window of the program's stays.
    if (!shown || !shown->isWindow() || shown->windowType() == Qt::Popup ||
        shown->windowType() == Qt::ToolTip)
        return false;
    QWindow* self = note.windowHandle();
    QWindow* other = shown->windowHandle();
    if (!self || !other || other->transientParent() == self)
        return false;
    // The compositor reads a window's parent only when the window is mapped: the note is mapped
    // again, without telling anyone that it was hidden, once the other window is up.
    QMetaObject::invokeMethod(
        this,
        [this, other] {
            QWindow* self = note.windowHandle();
            if (!self || !note.isVisible())
                return;
            const QSignalBlocker quiet(&note);
            note.hide();
            self->setTransientParent(other);
            note.show();
        },
        Qt::QueuedConnection);
    return false;
}
