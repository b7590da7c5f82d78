// SPDX-License-Identifier: MIT
#pragma once
// Carries out a due entry: starts its program or plays its sound, puts the dialer's number on
// the clipboard, hands a mailed note to the mail program, and shows a note.

#include "engine/DueEntry.h"
#include "platform/Launcher.h"

#include <optional>

class Chime;
class Clipboard;
class Clock;
class ErrorBox;
class NoteView;
class Sound;

// What carrying out an entry did.
struct RunOutcome
{
    enum class Note
    {
        None,
        Shown,
        // The note file is there and could not be read: the user was told.
        Unreadable
    };
    // The start of the entry's program, or of the mail program; nothing when none was started.
    std::optional<Launcher::Result> launch;
    bool soundPlayed = false;
    Note note = Note::None;
};

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
        Chime& chime;
        // The program folder: the notes, and the working folder of a program named without one.
        QString noteFolder;
        // The mail program to start for a mailed note: its path, or its name to look for.
        QString mailProgramPath = Entry::mailProgram;
    };

    EventRunner(const Services& services, NoteView& noteView);

    // Carries the entry out; a note is shown without waiting for it. An entry shown late
    // after a sleep shows only its note.
    RunOutcome run(const DueEntry& due);

private:
    RunOutcome::Note showNote(const QString& path, const QString& timeText, const QString& line);

    Services services;
    NoteView& noteView;
};
