#pragma once
// The note window as the runner sees it.

#include <QString>

class NoteView
{
public:
    virtual ~NoteView() = default;
    // Shows the note's text, the file it came from and the entry's time, on top of all
    // windows, and returns once the window is hidden again; the program stays live meanwhile.
    virtual void showAndWait(const QString& text, const QString& path, const QString& timeText) = 0;
};
