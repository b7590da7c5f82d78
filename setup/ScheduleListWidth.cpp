// SPDX-License-Identifier: MIT
#include "ScheduleListWidth.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>

int ScheduleListWidth::timeFieldWidth(const QFontMetrics& metrics)
{
    QChar widest = QLatin1Char('0');
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(digit);
    }
    const QString digits = QString(2, widest);
    int width = 0;
    for (const char* half : {"AM", "PM"}) {
        const QString field = QStringLiteral(" %1:%1 %2").arg(digits, QLatin1String(half));
        width = qMax(width, metrics.horizontalAdvance(field));
    }
    return width;
}

int ScheduleListWidth::textRoom(const QListWidget& list)
{
    // An item's text keeps this margin on each side in the list's style.
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    const int scrollBar = list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
    return list.width() - 2 * list.frameWidth() - scrollBar - 2 * margin;
}

void ScheduleListWidth::fit(QWidget& form, QWidget& group, QListWidget& list)
{
    list.setTextElideMode(Qt::ElideNone);
    list.ensurePolished();
    const int missing = timeFieldWidth(list.fontMetrics()) - textRoom(list);
    if (missing <= 0)
        return;
    const int groupRight = group.geometry().right();
    for (QWidget* w : form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w != &group && w->geometry().left() > groupRight)
            w->move(w->x() + missing, w->y());
    }
    group.resize(group.width() + missing, group.height());
    list.resize(list.width() + missing, list.height());
    form.resize(form.width() + missing, form.height());
}
