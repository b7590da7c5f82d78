// SPDX-License-Identifier: MIT
#include "engine/CommandLine.h"

#include "engine/Firing.h"
#include "engine/HistoryLog.h"
#include "engine/ScheduleStore.h"
#include "platform/ErrorBox.h"
#include "platform/IniRegistryStore.h"
#include "platform/LockFileGuard.h"
#include "platform/Settings.h"
#include "platform/UserFile.h"
#include "platform/XdgAutostart.h"
#include "schedule/CalendarExport.h"
#include "schedule/Entry.h"
#include "schedule/EventLine.h"
#include "schedule/NoteFiles.h"
#include "schedule/Recurrence.h"
#include "schedule/ScheduleFile.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>
#include <algorithm>
#include <cstdio>

namespace {

const QString listName = QStringLiteral("list");
const QString nextName = QStringLiteral("next");
const QString addName = QStringLiteral("add");
const QString removeName = QStringLiteral("remove");
const QString snoozeName = QStringLiteral("snooze");
const QString exportName = QStringLiteral("export-ics");
const QString historyName = QStringLiteral("history");
// How far ahead an entry's next occurrence is looked for: a day of the month comes within two.
constexpr int LookAheadDays = 62;

// The channel carries a request as one line of tab-separated fields: the few characters that
// would end a field or the line travel escaped.
QString escaped(QString text)
{
    return text.replace(QLatin1Char('%'), QLatin1String("%25"))
        .replace(QLatin1Char('\t'), QLatin1String("%09"))
        .replace(QLatin1Char('\n'), QLatin1String("%0A"))
        .replace(QLatin1Char('\r'), QLatin1String("%0D"));
}

QString unescaped(const QString& text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

// A request's arguments are "key=value" fields.
QString argument(const InstanceChannel::Request& request, const QString& key)
{
    const QString prefix = key + QLatin1Char('=');
    for (const QString& field : request.arguments) {
        if (field.startsWith(prefix))
            return unescaped(field.mid(prefix.size()));
    }
    return QString();
}

bool hasArgument(const InstanceChannel::Request& request, const QString& key)
{
    const QString prefix = key + QLatin1Char('=');
    return std::any_of(request.arguments.cbegin(), request.arguments.cend(),
                       [&](const QString& field) { return field.startsWith(prefix); });
}

CommandLine::Reply refused(const QString& text)
{
    return {CommandLine::Refused, text};
}

CommandLine::Reply badUsage(const QString& text)
{
    return {CommandLine::BadUsage,
            text + QLatin1Char('\n') + CommandLine::tr("Try 'nudgeon --help' for the options.")};
}

qint64 minuteStart(qint64 ms)
{
    return ms - ((ms % 60000) + 60000) % 60000;
}

// The first occurrence of a rule at or after an instant, within the days looked ahead.
std::optional<QDateTime> nextOccurrence(const Recurrence& rule, const QDateTime& from)
{
    const qint64 fromMs = minuteStart(from.toMSecsSinceEpoch());
    Recurrence::Day day = Recurrence::Day::of(from.date());
    for (int i = 0; i < LookAheadDays; ++i, day = day.next()) {
        if (const std::optional<qint64> at = rule.firstOn(day, fromMs))
            return QDateTime::fromMSecsSinceEpoch(*at, Qt::LocalTime);
    }
    return std::nullopt;
}

QString weekdaysInWords(const RepeatRule& rule)
{
    // Monday first, as the setup dialog shows the days.
    QStringList names;
    for (int day = 1; day <= 7; ++day) {
        if (rule.hasWeekday(day))
            names.append(QLocale::c().dayName(day, QLocale::LongFormat));
    }
    return names.join(QStringLiteral(", "));
}

QString repeatInWords(const RepeatRule& rule)
{
    switch (rule.kind()) {
    case RepeatRule::Kind::Interval:
        if (rule.value() == 0 || rule.value() >= 1440)
            return CommandLine::tr("every day");
        return CommandLine::tr("every day, every %1 min from the start time").arg(rule.value());
    case RepeatRule::Kind::DayOfMonth:
        return CommandLine::tr("on day %1 of every month").arg(rule.value());
    case RepeatRule::Kind::Weekdays:
        if (weekdaysInWords(rule).isEmpty())
            return CommandLine::tr("never (no weekday chosen)");
        return CommandLine::tr("every %1").arg(weekdaysInWords(rule));
    }
    return QString();
}

// One entry as the listings show it.
struct Item
{
    QString line;
    Recurrence rule;
    QString program;
    QString parameters;
    QString noteFile;
    QString note; // the note's first line
    QString kind;
    QString action;
};

Item itemOf(const QString& line, const QString& pgmDir, const QDate& anchor)
{
    Item item;
    item.line = line;
    const Entry entry(line);
    item.rule = Recurrence(entry, anchor);
    item.program = entry.program();
    item.parameters = entry.parameters();
    item.noteFile = entry.noteName();
    if (!item.noteFile.isEmpty()) {
        const std::optional<QString> text = readNoteFile(pgmDir + item.noteFile);
        item.note = text ? text->section(QLatin1Char('\n'), 0, 0).trimmed() : QString();
    }
    const QString command = (item.program + QLatin1Char(' ') + item.parameters).trimmed();
    if (entry.kind() == Entry::Kind::Mail) {
        item.kind = QStringLiteral("mail");
        item.action = CommandLine::tr("e-mail to %1: %2").arg(item.parameters.trimmed(), item.note);
    } else if (item.program.isEmpty()) {
        item.kind = QStringLiteral("note");
        item.action = CommandLine::tr("note: %1").arg(item.note);
    } else {
        item.kind = QStringLiteral("program");
        item.action = item.noteFile.isEmpty() ? CommandLine::tr("run %1").arg(command)
                                              : CommandLine::tr("run %1, note: %2").arg(command, item.note);
    }
    return item;
}

QString jsonLine(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonValue jsonTime(const std::optional<QDateTime>& at)
{
    return at ? QJsonValue(at->toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null);
}

QString shownTime(const std::optional<QDateTime>& at)
{
    return at ? at->toString(QStringLiteral("ddd yyyy-MM-dd HH:mm")) : CommandLine::tr("never");
}

CommandLine::Reply list(const InstanceChannel::Request& request, CommandLine::Schedule& schedule)
{
    const QStringList lines = schedule.lines();
    const QDateTime now = schedule.now();
    const bool json = hasArgument(request, QStringLiteral("json"));
    QString out;
    for (int i = 0; i < lines.size(); ++i) {
        const Item item = itemOf(lines[i], schedule.pgmDir(), schedule.anchor(lines[i]));
        const std::optional<QDateTime> next = nextOccurrence(item.rule, now);
        if (json) {
            out +=
                jsonLine({{QStringLiteral("number"), i + 1},
                          {QStringLiteral("time"), item.rule.startTime().toString(QStringLiteral("HH:mm"))},
                          {QStringLiteral("kind"), item.kind},
                          {QStringLiteral("program"), item.program},
                          {QStringLiteral("parameters"), item.parameters},
                          {QStringLiteral("noteFile"), item.noteFile},
                          {QStringLiteral("note"), item.note},
                          {QStringLiteral("repeat"), repeatInWords(item.rule.repeatRule())},
                          {QStringLiteral("next"), jsonTime(next)},
                          {QStringLiteral("line"), item.line}}) +
                QLatin1Char('\n');
        } else {
            out += QStringLiteral("%1  %2  %3  %4  next: %5\n")
                       .arg(i + 1, 2)
                       .arg(item.rule.startTime().toString(QStringLiteral("HH:mm")), item.action,
                            repeatInWords(item.rule.repeatRule()), shownTime(next));
        }
    }
    return {CommandLine::Done, out};
}

CommandLine::Reply next(const InstanceChannel::Request& request, CommandLine::Schedule& schedule)
{
    const QStringList lines = schedule.lines();
    const QDateTime now = schedule.now();
    // The engine's own answer counts what already ran and the snoozes; past today, or where
    // no engine runs, the rules give it.
    std::optional<CommandLine::Next> found = schedule.next();
    if (!found) {
        for (const QString& line : lines) {
            const std::optional<QDateTime> at = nextOccurrence(Recurrence(line, schedule.anchor(line)), now);
            if (at && (!found || *at < found->due))
                found = CommandLine::Next{line, *at, QString()};
        }
    }
    if (!found)
        return refused(CommandLine::tr("Nothing is due in the next %n day(s).", nullptr, LookAheadDays));
    const int number = int(lines.indexOf(found->line)) + 1;
    const Item item = itemOf(found->line, schedule.pgmDir(), schedule.anchor(found->line));
    const qint64 left = (found->due.toMSecsSinceEpoch() - minuteStart(now.toMSecsSinceEpoch())) / 60000;
    if (hasArgument(request, QStringLiteral("json"))) {
        QJsonObject object{
            {QStringLiteral("number"), number},      {QStringLiteral("due"), jsonTime(found->due)},
            {QStringLiteral("minutesLeft"), left},   {QStringLiteral("kind"), item.kind},
            {QStringLiteral("action"), item.action}, {QStringLiteral("line"), found->line}};
        if (!found->tip.isEmpty())
            object.insert(QStringLiteral("tip"), found->tip);
        return {CommandLine::Done, jsonLine(object) + QLatin1Char('\n')};
    }
    QString out = CommandLine::tr("%1 (in %2 min): entry %3, %4")
                      .arg(shownTime(found->due))
                      .arg(left)
                      .arg(number)
                      .arg(item.action);
    if (!found->tip.isEmpty())
        out += QLatin1Char('\n') + CommandLine::tr("Tip: %1").arg(found->tip);
    return {CommandLine::Done, out + QLatin1Char('\n')};
}

// The line an add request stands for, as the setup dialog composes it.
std::variant<EventInput, CommandLine::Reply> inputOf(const InstanceChannel::Request& request)
{
    EventInput in;
    const std::optional<QTime> start = parseTimeText(argument(request, QStringLiteral("time")));
    if (!start)
        return badUsage(invalidTimeMessage(argument(request, QStringLiteral("time"))));
    in.start = QTime(start->hour(), start->minute());
    const QString mail = argument(request, QStringLiteral("mail"));
    in.program = hasArgument(request, QStringLiteral("mail")) ? Entry::mailProgram
                                                              : argument(request, QStringLiteral("run"));
    in.parameters =
        hasArgument(request, QStringLiteral("mail")) ? mail : argument(request, QStringLiteral("args"));
    if (in.program.contains(QLatin1Char(',')))
        return refused(CommandLine::tr("A program name may not hold a comma: the entry would fall apart."));
    bool ok = true;
    if (hasArgument(request, QStringLiteral("every"))) {
        in.repeatValue = argument(request, QStringLiteral("every")).toInt(&ok);
        if (!ok || in.repeatValue < 0 || in.repeatValue > 1440)
            return badUsage(CommandLine::tr("--every takes minutes from 0 to 1440."));
    } else if (hasArgument(request, QStringLiteral("monthly"))) {
        in.kind = RepeatKind::Monthly;
        in.repeatValue = argument(request, QStringLiteral("monthly")).toInt(&ok);
        if (!ok || in.repeatValue < 1 || in.repeatValue > 31)
            return badUsage(CommandLine::tr("--monthly takes a day of the month from 1 to 31."));
    } else if (hasArgument(request, QStringLiteral("days"))) {
        in.kind = RepeatKind::Weekly;
        static const QStringList days = {QStringLiteral("mo"), QStringLiteral("tu"), QStringLiteral("we"),
                                         QStringLiteral("th"), QStringLiteral("fr"), QStringLiteral("sa"),
                                         QStringLiteral("su")};
        const QStringList chosen = argument(request, QStringLiteral("days")).split(QLatin1Char(','));
        for (const QString& day : chosen) {
            const qsizetype place = days.indexOf(day.trimmed().toLower());
            if (place < 0)
                return badUsage(
                    CommandLine::tr("--days takes days among Mo,Tu,We,Th,Fr,Sa,Su, not '%1'.").arg(day));
            in.weekdays[size_t(place)] = true;
        }
    }
    return in;
}

CommandLine::Reply add(const InstanceChannel::Request& request, CommandLine::Schedule& schedule)
{
    const std::variant<EventInput, CommandLine::Reply> parsed = inputOf(request);
    if (const auto* reply = std::get_if<CommandLine::Reply>(&parsed))
        return *reply;
    EventInput in = std::get<EventInput>(parsed);
    const QString note = argument(request, QStringLiteral("note"));
    if (note.size() > CommandLine::MaxNoteLength)
        return refused(
            CommandLine::tr("A note holds at most %1 characters.").arg(CommandLine::MaxNoteLength));
    const QStringList lines = schedule.lines();
    if (lines.size() >= MaxEvents)
        return refused(
            CommandLine::tr("The schedule holds %1 entries already, as many as it can.").arg(MaxEvents));

    // The note's file is named as the setup dialog names it; the line's reference is checked
    // before the file is made, so that a refused entry leaves no file behind.
    const QString pgmDir = schedule.pgmDir();
    in.hasNote = !note.isEmpty();
    if (in.hasNote) {
        const std::optional<QString> name = newNoteFileName(pgmDir, schedule.now().date(), in.start);
        if (!name)
            return refused(cannotCreateMessage(pgmDir));
        in.noteFile = *name;
    }
    const QString line = composeEventLine(in);
    if (line.size() >= MaxLineLength)
        return refused(CommandLine::tr("The entry would be longer than %1 characters.").arg(MaxLineLength));
    if (findLine(lines, line) >= 0)
        return refused(CommandLine::tr("The schedule holds this entry already: %1").arg(line));
    const QString notePath = pgmDir + in.noteFile;
    if (in.hasNote && !writeNoteFile(notePath, note))
        return refused(cannotCreateMessage(notePath));

    // The setup dialog's list is sorted by text, and the schedule written in its order.
    QStringList updated = lines;
    updated.append(line);
    std::stable_sort(updated.begin(), updated.end());
    if (const std::optional<QString> problem = schedule.write(updated)) {
        if (in.hasNote)
            deleteNoteFile(notePath);
        return refused(*problem);
    }
    return {CommandLine::Done,
            CommandLine::tr("Added entry %1: %2\n").arg(updated.indexOf(line) + 1).arg(line.trimmed())};
}

CommandLine::Reply remove(const InstanceChannel::Request& request, CommandLine::Schedule& schedule)
{
    QStringList lines = schedule.lines();
    bool ok = false;
    const int number = argument(request, QStringLiteral("number")).toInt(&ok);
    if (!ok || number < 1 || number > lines.size())
        return refused(CommandLine::tr("There is no entry %1; --list gives the entries' numbers.")
                           .arg(argument(request, QStringLiteral("number"))));
    const QString line = lines.takeAt(number - 1);
    if (const std::optional<QString> problem = schedule.write(lines))
        return refused(*problem);
    // As the setup dialog's Delete does, the note goes with its entry, unless another entry
    // still shows it.
    const QString noteFile = Entry(line).noteName();
    const QString reference = QLatin1Char('[') + noteFile + QLatin1Char(']');
    if (!noteFile.isEmpty() &&
        std::none_of(lines.cbegin(), lines.cend(), [&](const QString& l) { return l.contains(reference); }))
        deleteNoteFile(schedule.pgmDir() + noteFile);
    return {CommandLine::Done, CommandLine::tr("Removed entry %1: %2\n").arg(number).arg(line.trimmed())};
}

CommandLine::Reply snooze(const InstanceChannel::Request& request, CommandLine::Schedule& schedule)
{
    bool ok = false;
    const int minutes = argument(request, QStringLiteral("minutes")).toInt(&ok);
    if (!ok || minutes < 1 || minutes > CommandLine::MaxSnoozeMinutes)
        return badUsage(CommandLine::tr("--snooze takes a note's file name and minutes from 1 to %1.")
                            .arg(CommandLine::MaxSnoozeMinutes));
    const QString note = argument(request, QStringLiteral("note"));
    if (const std::optional<QString> problem = schedule.snooze(note, minutes))
        return refused(*problem);
    return {CommandLine::Done,
            CommandLine::tr("Note %1 put off by %n minute(s).\n", nullptr, minutes).arg(note)};
}

// The calendar of the schedule, each entry's series from the day the engine counts it from.
CommandLine::Reply exportCalendar(CommandLine::Schedule& schedule)
{
    const QString pgmDir = schedule.pgmDir();
    CalendarExport calendar(schedule.now().date(), schedule.now(), [&pgmDir](const QString& noteFile) {
        const std::optional<QString> text = readNoteFile(pgmDir + noteFile);
        return text ? text->section(QLatin1Char('\n'), 0, 0) : QString();
    });
    calendar.setAnchorOf([&schedule](const QString& line) { return schedule.anchor(line); });
    return {CommandLine::Done, QString::fromUtf8(calendar.write(schedule.lines()))};
}

// Where the calendar goes: the output, or a file of the caller's.
CommandLine::Reply deliverCalendar(const CommandLine::Reply& calendar, const QString& file)
{
    if (calendar.status != CommandLine::Done || file.isEmpty())
        return calendar;
    QString problem;
    if (!UserFile::write(file, calendar.text.toUtf8(), &problem))
        return refused(problem.isEmpty() ? cannotCreateMessage(file) : problem);
    return {CommandLine::Done, CommandLine::tr("Wrote %n event(s) to %1.\n", nullptr,
                                               int(calendar.text.count(QLatin1String("BEGIN:VEVENT"))))
                                   .arg(file)};
}

// The instant --since names: the start of a day, or a date and time (local unless it gives
// its offset).
std::optional<QDateTime> sinceOf(QString text)
{
    if (text.size() == 10) {
        const QDate day = QDate::fromString(text, Qt::ISODate);
        return day.isValid() ? std::optional<QDateTime>(day.startOfDay()) : std::nullopt;
    }
    if (text.size() > 10 && text[10] == QLatin1Char(' '))
        text[10] = QLatin1Char('T');
    const QDateTime at = QDateTime::fromString(text, Qt::ISODate);
    return at.isValid() ? std::optional<QDateTime>(at) : std::nullopt;
}

QString badSinceMessage(const QString& text)
{
    return CommandLine::tr("'%1' is not a date: --since takes one such as 2029-03-19 or 2029-03-19T22:00.")
        .arg(text);
}

QString outcomeWord(const Firing& firing)
{
    // The history file's own word for the outcome, its third field.
    return firing.toLine().section(QLatin1Char('\t'), 2, 2);
}

QJsonObject firingObject(const Firing& firing)
{
    QJsonObject object{{QStringLiteral("due"), jsonTime(firing.due)},
                       {QStringLiteral("ran"),
                        jsonTime(firing.ran.isValid() ? std::optional<QDateTime>(firing.ran) : std::nullopt)},
                       {QStringLiteral("outcome"), outcomeWord(firing)},
                       {QStringLiteral("failed"), firing.failed()},
                       {QStringLiteral("description"), firing.describe()},
                       {QStringLiteral("line"), firing.line}};
    if (!firing.reason.isEmpty())
        object.insert(QStringLiteral("reason"), firing.reason);
    if (firing.outcome == Firing::Outcome::Exited || firing.outcome == Firing::Outcome::MailKept) {
        object.insert(QStringLiteral("status"), firing.status);
        object.insert(QStringLiteral("signal"), firing.signal);
    }
    if (firing.outcome == Firing::Outcome::Exited)
        object.insert(QStringLiteral("seconds"), firing.seconds);
    if (!firing.errorOutput.isEmpty())
        object.insert(QStringLiteral("errorOutput"), firing.errorOutput);
    if (firing.until.isValid())
        object.insert(QStringLiteral("until"), jsonTime(firing.until));
    return object;
}

// The firings of the history, in the order they were recorded: the rotated copy's, then the
// file's. Only reads the files, so it needs no running copy and no lock.
CommandLine::Reply history(const InstanceChannel::Request& request, const HistoryLog& log,
                           const QString& pgmDir)
{
    std::optional<QDateTime> since;
    if (hasArgument(request, QStringLiteral("since"))) {
        since = sinceOf(argument(request, QStringLiteral("since")));
        if (!since)
            return badUsage(badSinceMessage(argument(request, QStringLiteral("since"))));
    }
    const bool failedOnly = hasArgument(request, QStringLiteral("failed"));
    const bool json = hasArgument(request, QStringLiteral("json"));
    QString out;
    for (const QString& path : {log.rotatedPath(), log.path()}) {
        const UserFile::Contents contents = UserFile::readAll(path, 2 * HistoryLog::defaultCap);
        if (!contents.isRead() && contents.kind != UserFile::Kind::Missing)
            return refused(contents.problem);
        for (const QByteArray& bytes : contents.bytes.split('\n')) {
            const std::optional<Firing> firing = Firing::fromLine(QString::fromUtf8(bytes));
            if (!firing || (failedOnly && !firing->failed()) || (since && firing->due < *since))
                continue;
            if (json) {
                out += jsonLine(firingObject(*firing)) + QLatin1Char('\n');
                continue;
            }
            const Item item = itemOf(firing->line, pgmDir, firing->due.date());
            out += QStringLiteral("%1 %2  %3  %4\n")
                       .arg(firing->failed() ? QLatin1Char('!') : QLatin1Char(' '))
                       .arg(shownTime(firing->due), item.action, firing->describe());
            if (!firing->errorOutput.isEmpty()) {
                for (const QString& text : firing->errorOutput.trimmed().split(QLatin1Char('\n')))
                    out += QStringLiteral("      | %1\n").arg(text);
            }
        }
    }
    return {CommandLine::Done, out};
}

// The messages the program's own loading and saving would show in a box, kept for the error
// output.
class KeptErrors : public ErrorBox
{
public:
    void showError(const QString& message) override { messages.append(message); }

    QStringList messages;
};

// The schedule file itself, while this process holds the lock, read and written as the tray
// program does: an older file's header lines are taken over into the settings, and a file
// changed by someone else since it was read is not written over.
class FileSchedule : public CommandLine::Schedule
{
public:
    explicit FileSchedule(const ProgramPaths& paths)
        : dir(paths.pgmDir), autostart(paths.programPath),
          settings(registry, autostart, errors, paths.programPath), store(paths.pgmDir, settings, errors)
    {
        registry.tellProblems([this](const QString& message) { errors.showError(message); });
        if (store.exists())
            read = store.load();
    }
    // Why the schedule cannot be worked on: its file could not be read whole.
    QString problem() const { return store.readProblem(); }
    // What the tray program would have shown meanwhile.
    const QStringList& told() const { return errors.messages; }

    QStringList lines() override { return read; }
    QString pgmDir() const override { return dir; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    std::optional<QString> write(const QStringList& lines) override
    {
        if (store.hasChanged())
            return CommandLine::tr(
                "The schedule file was changed meanwhile; nothing was saved. Please try again.");
        const qsizetype before = errors.messages.size();
        if (!store.write(lines)) {
            // The reason is the refusal's, not a message besides.
            const QStringList reasons = errors.messages.mid(before);
            errors.messages.resize(before);
            return reasons.isEmpty() ? cannotCreateMessage(store.filePath())
                                     : reasons.join(QLatin1Char('\n'));
        }
        read = lines;
        return std::nullopt;
    }
    std::optional<QString> snooze(const QString&, int) override
    {
        return CommandLine::tr("Nudgeon is not running, so no note is shown to put off.");
    }

private:
    QString dir;
    IniRegistryStore registry;
    XdgAutostart autostart;
    KeptErrors errors;
    Settings settings;
    ScheduleStore store;
    QStringList read;
};

void print(const CommandLine::Reply& reply)
{
    if (reply.text.isEmpty())
        return;
    QByteArray bytes = reply.text.toUtf8();
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    std::fputs(bytes.constData(), reply.status == CommandLine::Done ? stdout : stderr);
}

} // namespace

bool CommandLine::startsTrayProgram(const QStringList& arguments)
{
    return arguments.isEmpty() || arguments == QStringList{QStringLiteral("--autostart")} ||
           arguments.first().compare(QLatin1String("/uninstall"), Qt::CaseInsensitive) == 0;
}

std::variant<InstanceChannel::Request, CommandLine::Reply> CommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Nudgeon, a reminder and scheduler that lives in the tray. Without "
                                        "options it starts in the tray; the options below work on the "
                                        "schedule, through the running copy when one runs."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, tr("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), tr("Show the program's version."));
    const QCommandLineOption listOption(QStringLiteral("list"),
                                        tr("List every entry: number, time, what it does, "
                                           "its repeat rule and its next occurrence."));
    const QCommandLineOption nextOption(QStringLiteral("next"),
                                        tr("Show the entry due next, as the tray tip counts it."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  tr("With --list, --next or --history: one JSON object per line per item."));
    const QCommandLineOption historyOption(QStringLiteral("history"),
                                           tr("List the firings the history recorded, in the order they were "
                                              "recorded (oldest first); works with no copy running."));
    const QCommandLineOption failedOption(QStringLiteral("failed"), tr("With --history: only the failures."));
    const QCommandLineOption sinceOption(
        QStringLiteral("since"),
        tr("With --history: only the firings due from DATE on (2029-03-19, or 2029-03-19T22:00)."),
        QStringLiteral("DATE"));
    const QCommandLineOption addOption(
        QStringLiteral("add"), tr("Add an entry starting at TIME (10:30PM, 22:30)."), QStringLiteral("TIME"));
    const QCommandLineOption runOption(QStringLiteral("run"), tr("With --add: the program to run."),
                                       QStringLiteral("PROGRAM"));
    const QCommandLineOption argsOption(QStringLiteral("args"), tr("With --run: the program's parameters."),
                                        QStringLiteral("TEXT"));
    const QCommandLineOption noteOption(
        QStringLiteral("note"), tr("With --add: the note to show (or to mail)."), QStringLiteral("TEXT"));
    const QCommandLineOption mailOption(QStringLiteral("mail"),
                                        tr("With --add and --note: mail the note to ADDRESS."),
                                        QStringLiteral("ADDRESS"));
    const QCommandLineOption everyOption(
        QStringLiteral("every"),
        tr("With --add: every day, again every MINUTES (0: once a day, the default)."),
        QStringLiteral("MINUTES"));
    const QCommandLineOption daysOption(QStringLiteral("days"),
                                        tr("With --add: on these weekdays (Mo,Tu,We,Th,Fr,Sa,Su)."),
                                        QStringLiteral("DAYS"));
    const QCommandLineOption monthlyOption(
        QStringLiteral("monthly"), tr("With --add: on this day of every month."), QStringLiteral("DAY"));
    const QCommandLineOption removeOption(QStringLiteral("remove"), tr("Remove entry N of --list."),
                                          QStringLiteral("N"));
    const QCommandLineOption snoozeOption(
        QStringLiteral("snooze"), tr("Put off the shown note of file NOTE by MINUTES (running copy only)."),
        QStringLiteral("NOTE"));
    const QCommandLineOption exportOption(
        QStringLiteral("export-ics"),
        tr("Write the schedule as an iCalendar file to FILE, or to the output."));
    const QCommandLineOption autostart(QStringLiteral("autostart"), tr("Start in the tray at log-on."));
    parser.addOptions({help,          version,      listOption,   nextOption,   json,
                       historyOption, failedOption, sinceOption,  addOption,    runOption,
                       argsOption,    noteOption,   mailOption,   everyOption,  daysOption,
                       monthlyOption, removeOption, snoozeOption, exportOption, autostart});
    parser.addPositionalArgument(QStringLiteral("MINUTES|FILE"),
                                 tr("With --snooze: the minutes, 1 to 1440. With --export-ics: the file to "
                                    "write."),
                                 QStringLiteral("[MINUTES|FILE]"));

    if (!parser.parse(QStringList{QStringLiteral("nudgeon")} + arguments))
        return badUsage(parser.errorText());
    if (parser.isSet(help)) {
        return Reply{Done, parser.helpText() +
                               tr("\nExit status: 0 done, 1 refused (the reason is on the error output), "
                                  "2 bad usage.\n")};
    }
    if (parser.isSet(version))
        return Reply{Done, QStringLiteral("Nudgeon %1\n").arg(QStringLiteral(NUDGEON_VERSION))};

    const QList<QCommandLineOption> commands{listOption,   nextOption,   historyOption, addOption,
                                             removeOption, snoozeOption, exportOption};
    const qsizetype given = std::count_if(commands.cbegin(), commands.cend(),
                                          [&](const QCommandLineOption& o) { return parser.isSet(o); });
    if (given != 1)
        return badUsage(
            tr("Give one of --list, --next, --history, --add, --remove, --snooze or --export-ics."));
    const QStringList positional = parser.positionalArguments();
    const qsizetype allowed = parser.isSet(snoozeOption)   ? 1
                              : parser.isSet(exportOption) ? positional.size()
                                                           : 0;
    if (positional.size() != allowed || positional.size() > 1)
        return badUsage(parser.isSet(snoozeOption)
                            ? tr("--snooze takes a note's file name and the minutes.")
                            : tr("Unexpected argument '%1'.").arg(positional.value(1, positional.value(0))));
    if (parser.isSet(json) && !parser.isSet(listOption) && !parser.isSet(nextOption) &&
        !parser.isSet(historyOption))
        return badUsage(tr("--json goes with --list, --next or --history."));
    if ((parser.isSet(failedOption) || parser.isSet(sinceOption)) && !parser.isSet(historyOption))
        return badUsage(tr("--failed and --since go with --history."));
    if (parser.isSet(sinceOption) && !sinceOf(parser.value(sinceOption)))
        return badUsage(badSinceMessage(parser.value(sinceOption)));
    const QList<QCommandLineOption> entryOptions{runOption,   argsOption, noteOption,   mailOption,
                                                 everyOption, daysOption, monthlyOption};
    if (!parser.isSet(addOption) && std::any_of(entryOptions.cbegin(), entryOptions.cend(),
                                                [&](const QCommandLineOption& o) { return parser.isSet(o); }))
        return badUsage(tr("--run, --args, --note, --mail, --every, --days and --monthly go with --add."));

    InstanceChannel::Request request;
    const auto pass = [&](const QString& key, const QString& value) {
        request.arguments.append(key + QLatin1Char('=') + escaped(value));
    };
    if (parser.isSet(listOption) || parser.isSet(nextOption)) {
        request.name = parser.isSet(listOption) ? listName : nextName;
        if (parser.isSet(json))
            pass(QStringLiteral("json"), QString());
    } else if (parser.isSet(historyOption)) {
        request.name = historyName;
        if (parser.isSet(json))
            pass(QStringLiteral("json"), QString());
        if (parser.isSet(failedOption))
            pass(QStringLiteral("failed"), QString());
        if (parser.isSet(sinceOption))
            pass(QStringLiteral("since"), parser.value(sinceOption));
    } else if (parser.isSet(exportOption)) {
        // The file is the caller's, written here: the running copy gives the calendar only.
        request.name = exportName;
        if (!positional.isEmpty())
            pass(QStringLiteral("file"), positional.first());
    } else if (parser.isSet(removeOption)) {
        request.name = removeName;
        pass(QStringLiteral("number"), parser.value(removeOption));
    } else if (parser.isSet(snoozeOption)) {
        request.name = snoozeName;
        pass(QStringLiteral("note"), parser.value(snoozeOption));
        pass(QStringLiteral("minutes"), positional.value(0));
    } else {
        request.name = addName;
        const bool run = parser.isSet(runOption);
        const bool mail = parser.isSet(mailOption);
        const bool note = parser.isSet(noteOption);
        if ((run && mail) || (!run && !note))
            return badUsage(
                tr("--add takes --run PROGRAM, --note TEXT, or --mail ADDRESS with --note TEXT."));
        if (mail && !note)
            return badUsage(tr("--mail needs --note, the text to mail."));
        if (parser.isSet(argsOption) && !run)
            return badUsage(tr("--args goes with --run."));
        if (int(parser.isSet(everyOption)) + int(parser.isSet(daysOption)) +
                int(parser.isSet(monthlyOption)) >
            1)
            return badUsage(tr("Give at most one of --every, --days and --monthly."));
        pass(QStringLiteral("time"), parser.value(addOption));
        for (const QCommandLineOption& o : entryOptions) {
            if (parser.isSet(o))
                pass(o.names().constFirst(), parser.value(o));
        }
        if (run && parser.value(runOption).isEmpty())
            return badUsage(tr("--run needs a program."));
        if (note && parser.value(noteOption).isEmpty())
            return badUsage(tr("--note needs a text."));
    }
    return request;
}

CommandLine::Reply CommandLine::answer(const InstanceChannel::Request& request, Schedule& schedule)
{
    if (request.name == listName)
        return list(request, schedule);
    if (request.name == nextName)
        return next(request, schedule);
    if (request.name == addName) {
        // A request from another program may be less checked than ours.
        if (!hasArgument(request, QStringLiteral("note")) &&
            argument(request, QStringLiteral("run")).isEmpty())
            return badUsage(
                tr("--add takes --run PROGRAM, --note TEXT, or --mail ADDRESS with --note TEXT."));
        return add(request, schedule);
    }
    if (request.name == removeName)
        return remove(request, schedule);
    if (request.name == snoozeName)
        return snooze(request, schedule);
    if (request.name == exportName)
        return exportCalendar(schedule);
    if (request.name == historyName)
        return history(request, HistoryLog(), schedule.pgmDir());
    return badUsage(tr("Unknown request '%1'.").arg(request.name));
}

QByteArray CommandLine::encode(const Reply& reply)
{
    return QByteArray::number(reply.status) + '\n' + reply.text.toUtf8();
}

CommandLine::Reply CommandLine::decode(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\n');
    bool ok = false;
    const int status = bytes.left(end).toInt(&ok);
    if (end < 0 || !ok || status < Done || status > BadUsage)
        return refused(tr("The running copy of Nudgeon gave no answer that could be read."));
    return {status, QString::fromUtf8(bytes.mid(end + 1))};
}

int CommandLine::run(const QStringList& arguments, const ProgramPaths& paths)
{
    const std::variant<InstanceChannel::Request, Reply> parsed = parse(arguments);
    if (const auto* reply = std::get_if<Reply>(&parsed)) {
        print(*reply);
        return reply->status;
    }
    const InstanceChannel::Request& request = std::get<InstanceChannel::Request>(parsed);
    if (request.name == historyName) {
        const Reply reply = history(request, HistoryLog(), paths.pgmDir);
        print(reply);
        return reply.status;
    }
    // Holding the lock keeps a tray program from starting while the files are changed here.
    const LockFileGuard::Place place = LockFileGuard::defaultPlace();
    if (!place.problem.isEmpty()) {
        print(refused(place.problem));
        return Refused;
    }
    LockFileGuard guard(place.lockPath);
    Reply reply;
    switch (guard.claim()) {
    case InstanceGuard::Claim::HeldElsewhere:
        if (const std::optional<QByteArray> answered =
                InstanceChannel::ask(InstanceChannel::besideLock(place.lockPath), request))
            reply = decode(*answered);
        else
            reply = refused(tr("Nudgeon is running but did not answer in time; --list shows whether "
                               "the command was carried out."));
        break;
    case InstanceGuard::Claim::Ours: {
        FileSchedule schedule(paths);
        // A schedule read in part would lose the rest when written back.
        reply = schedule.problem().isEmpty() ? answer(request, schedule) : refused(schedule.problem());
        for (const QString& message : schedule.told())
            print(refused(message));
        break;
    }
    case InstanceGuard::Claim::Failed:
        reply = refused(guard.failure());
        break;
    }
    if (request.name == exportName)
        reply = deliverCalendar(reply, argument(request, QStringLiteral("file")));
    print(reply);
    return reply.status;
}
