// SPDX-License-Identifier: MIT
#pragma once
// The program's commands for a terminal or a script: list, next, add, remove, snooze and the
// calendar export, carried out by the running copy when one runs, on the files otherwise.

#include "platform/InstanceChannel.h"
#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    // The exit statuses: done, refused with a reason, bad usage.
    enum Status
    {
        Done = 0,
        Refused = 1,
        BadUsage = 2
    };
    // A command's outcome: its text goes to the standard output when done, else to the error
    // output.
    struct Reply
    {
        int status = Done;
        QString text;
    };

    // The entry due next as the engine counts it.
    struct Next
    {
        QString line;
        QDateTime due;
        // The tray tip's text.
        QString tip;
    };

    // What the commands act on: the running copy's engine, or the files when none runs.
    class Schedule
    {
    public:
        virtual ~Schedule() = default;
        // The entries in the schedule's order.
        virtual QStringList lines() = 0;
        virtual QString pgmDir() const = 0;
        virtual QDateTime now() const = 0;
        // The day the series of an entry starts on, as the engine counts it.
        virtual QDate anchor(const QString&) const { return now().date(); }
        // Makes these lines the schedule and writes it; the reason when that is refused.
        virtual std::optional<QString> write(const QStringList& lines) = 0;
        // The engine's next entry today; nothing where no engine runs or nothing is due today.
        virtual std::optional<Next> next() { return std::nullopt; }
        // Puts off the shown note of this file name; the reason when it cannot.
        virtual std::optional<QString> snooze(const QString& noteFile, int minutes) = 0;
    };

    // Whether these arguments (the program's name left out) start the tray program: none, the
    // log-on start's flag or the uninstall entry's command.
    static bool startsTrayProgram(const QStringList& arguments);

    // Runs the command of these arguments (the program's name left out), through the running
    // copy when one runs; prints its outcome and gives the exit status.
    static int run(const QStringList& arguments, const ProgramPaths& paths);

    // The request of a command line; the reply itself for --help, --version and bad usage.
    static std::variant<InstanceChannel::Request, Reply> parse(const QStringList& arguments);
    // Carries a request out on a schedule.
    static Reply answer(const InstanceChannel::Request& request, Schedule& schedule);

    // A reply as the channel carries it, and back; a reply that is not one is a refusal.
    static QByteArray encode(const Reply& reply);
    static Reply decode(const QByteArray& bytes);

    // Minutes a note may be put off by.
    static constexpr int MaxSnoozeMinutes = 1440;
    // Characters of a note, as the setup dialog takes them.
    static constexpr int MaxNoteLength = 1024;
};
