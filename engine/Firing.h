// SPDX-License-Identifier: MIT
#pragma once
// What became of one occurrence of an entry, as the history keeps it: one line of text each.

#include <QDateTime>
#include <QString>
#include <optional>

struct Firing
{
    enum class Outcome
    {
        // The program was started, the sound played or the document opened.
        Started,
        // The program could not be started; reason says why.
        NotStarted,
        // A started program ended: status, or the signal that ended it, after seconds.
        Exited,
        NoteShown,
        NoteClosed,
        // The note comes back at until.
        NoteSnoozed,
        MailSent,
        // The mail program could not send the note; it waits in the outbox.
        MailKept,
        // Due while the computer slept, and not shown afterwards.
        Missed,
        // Due while the computer slept; programs, sounds and mails are not run late.
        NotRunLate,
    };

    QDateTime due;
    // When it ran; invalid for an occurrence that did not run.
    QDateTime ran;
    // The entry's line in the schedule.
    QString line;
    Outcome outcome = Outcome::Started;
    QString reason;
    int status = 0;
    int signal = 0;
    double seconds = 0;
    // The last lines a program wrote to its error output.
    QString errorOutput;
    QDateTime until;

    // Whether the user should hear of it at once.
    bool failed() const;

    // One line without its end: due, ran ("-" when it did not run), outcome and the entry's
    // line, then a field per detail as key=value, all tab-separated, with tabs, line ends and
    // backslashes in the texts escaped.
    QString toLine() const;
    // The firing a line of toLine() describes; nothing for a line that is not one.
    static std::optional<Firing> fromLine(const QString& text);

    // The outcome and its details in words, for the history window and notifications.
    QString describe() const;

    bool operator==(const Firing& other) const;
};
