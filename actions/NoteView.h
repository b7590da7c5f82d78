// SPDX-License-Identifier: MIT
#pragma once
// The note window as the runner sees it.

#include <QString>

class NoteView
{
public:
    virtual ~NoteView() = default;
    // Shows the note's text, the file it came from and its time on top of all windows, for
    // the entry of the given line, and returns at once. A note that comes while another shows
    // waits its turn and shows as soon as that one is closed or snoozed.
    virtual void showNote(const QString& text, const QString& path, const QString& timeText,
                          const QString& line) = 0;
};
