// SPDX-License-Identifier: MIT
#pragma once
// Checks of a laid-out form as its user meets it: every control shown whole, none over another,
// each named for a screen reader.

#include <QAccessible>
#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace FormChecks {

// The form's own widgets, without the parts Qt builds inside them (named "qt_...").
inline bool isOwn(const QWidget* w)
{
    return !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"));
}

// The form's own widget that a focused part belongs to: a spin box for its line edit, the tabs
// for their tab bar.
inline QWidget* ownerOf(QWidget* w)
{
    while (w && !isOwn(w))
        w = w->parentWidget();
    return w;
}

// Shows the form; every visible control gets at least the room its contents need, lies inside
// its parent and clear of its visible siblings.
inline void expectShownWhole(QWidget& form, const std::string& view)
{
    form.show();
    QCoreApplication::processEvents();
    const QList<QWidget*> widgets = form.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!isOwn(w) || !w->isVisible())
            continue;
        const std::string name = view + " " + w->objectName().toStdString();
        const QSize need = w->minimumSizeHint();
        if (need.isValid()) {
            EXPECT_GE(w->width(), need.width()) << name;
            EXPECT_GE(w->height(), need.height()) << name;
        }
        const QWidget* parent = w->parentWidget();
        EXPECT_TRUE(parent->rect().contains(w->geometry())) << name;
        for (QWidget* sibling : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (sibling != w && isOwn(sibling) && sibling->isVisible() && !sibling->isWindow()) {
                EXPECT_FALSE(w->geometry().intersects(sibling->geometry()))
                    << name << " overlaps " << sibling->objectName().toStdString();
            }
        }
    }
}

// Every control that takes the keyboard tells a screen reader its name.
inline void expectNamedControls(QWidget& form)
{
    const QList<QWidget*> widgets = form.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!isOwn(w) || w->focusPolicy() == Qt::NoFocus)
            continue;
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(reader, nullptr) << w->objectName().toStdString();
        EXPECT_FALSE(reader->text(QAccessible::Name).trimmed().isEmpty()) << w->objectName().toStdString();
    }
}

} // namespace FormChecks
