// SPDX-License-Identifier: MIT
#pragma once
// The sticky note that pops up when an entry with a note falls due.

#include "actions/NoteView.h"

#include <QList>
#include <QMenu>
#include <QWidget>
#include <memory>

namespace Ui {
class NoteWindow;
}

class ErrorBox;
class TypingLimit;

class NoteWindow : public QWidget, public NoteView
{
    Q_OBJECT

public:
    explicit NoteWindow(ErrorBox& errors);
    ~NoteWindow() override;

    void showNote(const QString& text, const QString& path, const QString& timeText,
                  const QString& line) override;
    // Notes waiting for the shown one to close.
    int waiting() const { return static_cast<int>(queue.size()); }

    // The menu of the menu icon.
    QMenu* menu();
    Ui::NoteWindow* form();
    // The full path of the note file shown now; empty while the window is hidden.
    QString shownFile() const;
    // Puts off the note of this file and entry by the given minutes: the shown one is hidden,
    // a waiting one waits no more.
    void snoozeNote(const QString& path, const QString& line, int minutes);
    // The program ends: no waiting note shows, the shown one goes.
    void closeAll();

    // Typing stops at this many characters; a longer note still loads and saves whole.
    static constexpr int MaxTyped = 512;
    // The delays of the snooze items in menu order, in minutes.
    static const int SnoozeMinutes[8];

signals:
    void hidden();
    // The note of this file and entry was closed or snoozed.
    void noteClosed(const QString& path, const QString& line);
    // The user put off the note of this entry by the given minutes.
    void snoozeRequested(const QString& line, const QString& noteName, int minutes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Opens the menu beside the menu icon.
    void showMenu();
    // Lets the user edit the note.
    void edit();
    // Writes the note back to its file and returns to reading.
    void save();
    // Puts the note off by the delay of the chosen snooze item and hides it.
    void snooze(QAction* item);

    struct Note
    {
        QString text;
        QString path;
        QString timeText;
        QString line;
    };
    void display(const Note& note);
    // Sizes the window to show the whole text where the screen has room for it.
    void fitToText(const QString& text);
    Ui::NoteWindow& builtForm();

    std::unique_ptr<Ui::NoteWindow> ui;
    std::unique_ptr<QMenu> noteMenu;
    std::unique_ptr<QMenu> snoozeMenu;
    ErrorBox& errors;
    // The size the window is designed at; a short note keeps it.
    QSize designSize;
    // The full path of the shown note's file: Save writes there.
    QString shownPath;
    // The entry of the shown note: its snooze acts on that entry.
    QString shownLine;
    // Only the start of the shown note is in the window.
    bool shownCut = false;
    QList<Note> queue;
    TypingLimit* typingLimit = nullptr;
};
