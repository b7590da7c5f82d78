// SPDX-License-Identifier: MIT
#pragma once

class QFontMetrics;
class QListWidget;
class QWidget;

// The schedule list is kept narrow, but never so narrow that it cuts an entry's time field:
// "10:01 AM" and "10:01 PM" must stay apart in whatever font and at whatever scale.
class ScheduleListWidth
{
public:
    // The width of the widest time field, " 88:88 PM" in the widest digit, in this font.
    static int timeFieldWidth(const QFontMetrics& metrics);
    // The room the list's items leave for their text.
    static int textRoom(const QListWidget& list);
    // Widens the list and its group so that the time field fits beside a scroll bar, moves the
    // controls to the group's right along and widens the form; the rest of a line is cut off
    // after the time field rather than shortened with an ellipsis inside it.
    static void fit(QWidget& form, QWidget& group, QListWidget& list);
};
