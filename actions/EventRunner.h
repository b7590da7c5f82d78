// SPDX-License-Identifier: MIT
#pragma once
// Carries out a due entry: starts its program or plays its sound, puts the dialer's number on
// the clipboard, hands a mailed note to the mail program, and shows a note.

#include "DueEntry.h"

class Clipboard;
class Clock;
class ErrorBox;
class Launcher;
class NoteView;
class Scheduler;
class Sound;
struct ScheduleState;

class EventRunner
{
public:
    struct Services
    {
        Launcher& launcher;
        Clipboard& clipboard;
        Sound& sound;
        Clock& clock;
        ErrorBox& errors;
        // The mail program to start for a mailed note: its path, or its name to look for.
        QString mailProgramPath = mailProgram;
    };

    EventRunner(Scheduler& scheduler, const Services& services, NoteView& noteView);

    // Carries the entry out; a note is shown without waiting for it. An entry shown late
    // after a sleep shows only its note.
    void run(const DueEntry& entry);

    static const QString mailProgram;
    static const QString dialerProgram;

private:
    void showNote(const QString& path, const QString& timeText, const QString& line);

    Scheduler& scheduler;
    ScheduleState& s;
    Services services;
    NoteView& noteView;
};
