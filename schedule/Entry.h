// SPDX-License-Identifier: MIT
#pragma once
// One line of the schedule, taken apart once: what the engine times, the runner carries out
// and the setup dialog shows. The line's own text is kept for writing it back unchanged.

#include "schedule/RepeatRule.h"

#include <QString>
#include <QTime>

class Entry
{
public:
    // What the program field makes of the entry; a note may come with any of them.
    enum class Kind
    {
        Program,
        Sound,
        Dialer,
        Mail,
        Note
    };

    Entry() = default;
    explicit Entry(const QString& line);

    // The line as read or composed.
    const QString& line() const { return text; }
    // Whether the line has a separator at all; without one it is no entry.
    bool hasFields() const { return fields; }
    QString timeText() const { return time; }
    // The start time, whole minutes; invalid when the time field is not a time: such an entry
    // never falls due.
    QTime startTime() const { return start; }
    bool isValid() const { return start.isValid(); }
    QString program() const { return programField; }
    QString repeatText() const { return repeatField; }
    const RepeatRule& repeat() const { return rule; }
    // The parameters without the note reference.
    QString parameters() const { return parameterText; }
    // The note file's whole name, in the program folder; empty when there is none.
    QString noteName() const { return note; }
    // The note shown when the entry falls due: a mailed note is sent, not shown.
    QString shownNote() const { return entryKind == Kind::Mail ? QString() : note; }
    Kind kind() const { return entryKind; }

    // The program that mails a note, and the one whose parameters go to the clipboard.
    static const QString mailProgram;
    static const QString dialerProgram;

private:
    QString text;
    bool fields = false;
    QString time;
    QTime start;
    QString programField;
    QString repeatField;
    RepeatRule rule;
    QString parameterText;
    QString note;
    Kind entryKind = Kind::Note;
};
