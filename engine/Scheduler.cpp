// SPDX-License-Identifier: MIT
#include "Scheduler.h"

#include "Clock.h"
#include "ErrorBox.h"
#include "NoteFiles.h"
#include "ScheduleFile.h"
#include "ScheduleGuard.h"
#include "ScheduleWatcher.h"
#include "Settings.h"
#include "Sound.h"
#include "TrayView.h"
#include "UserFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace {

// A mailed note goes to the mail program and is never shown.
const QString mailProgram = QStringLiteral("DARIZIZ.EXE");

qint64 minuteStart(qint64 ms)
{
    return ms - ((ms % 60000) + 60000) % 60000;
}

QDateTime local(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
}

} // namespace

Scheduler::Scheduler(const Platform& platform, ScheduleState& state, const ProgramPaths& paths,
                     QObject* parent)
    : QObject(parent), platform(platform), s(state), paths(paths)
{
    // A coarse timer may drift by seconds, enough to pass over a whole minute.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(65535);
    // Queued, so that the tick runs from the event queue and not inside the timer's own
    // dispatch: a timer is never dispatched again while its dispatch is still under way, and
    // an error box opened by a tick keeps the event loop running for as long as it is up.
    connect(&timer, &QTimer::timeout, this, &Scheduler::DoTime, Qt::QueuedConnection);
}

Scheduler::~Scheduler()
{
    TimerEnd();
}

int Scheduler::minuteInterval(const QDateTime& now)
{
    // The ticks keep near the start of each minute: a tick held up a little never passes a
    // minute over, entries of one minute have the whole minute to run one after the other, and
    // an entry runs at the start of its minute. A tick that came more than a few seconds into
    // its minute moves the next one to a second into the coming minute.
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    return intoMinute >= 5000 ? 61000 - intoMinute : 60000;
}

void Scheduler::setInterval(int ms)
{
    // Setting a new interval restarts the period; the same interval lets it run on.
    if (timer.interval() != ms)
        timer.setInterval(ms);
}

Scheduler::Entry Scheduler::makeEntry(const QString& line, const QDate& anchor) const
{
    Entry e;
    e.line = line;
    const EventFields f = splitEventLine(cutText(line));
    e.rule = Recurrence(f, anchor);
    if (f.program.toUpper() != mailProgram)
        e.note = takeNoteReference(f.parameters, MaxLineLength).noteFile;
    return e;
}

void Scheduler::setLines(const QList<Entry>& lines)
{
    entries = lines;
    s.EventList.clear();
    for (const Entry& e : entries)
        s.EventList.append(e.line);
    s.EventCount = static_cast<int>(s.EventList.size());
    forgetNext();
    ++generation;
}

void Scheduler::TimeInit()
{
    timer.start(6000);
    s.reset();
    entries.clear();
    s.PgmDir = paths.pgmDir;

    setInterval(2000);
    guard = std::make_unique<ScheduleGuard>(s.cfgFile());
    guard->reading();
    // A link to a missing file (on a drive not mounted yet) is a schedule that cannot be read,
    // not a first start: the link stays.
    const QFileInfo cfg(s.cfgFile());
    if (cfg.exists() || cfg.isSymLink())
        loadSchedule();
    else
        NewConfig();

    const QDateTime now = platform.clock.now();
    // At start-up nothing runs late: the ticks look back to the start of this minute only.
    lastTick = minuteStart(now.toMSecsSinceEpoch());
    loadSnoozes(now);
    NextTime();
    if (trayView)
        trayView->add(hint);
    platform.sound.play(QStringLiteral("ringin.wav"));
    watcher = std::make_unique<ScheduleWatcher>(*guard);
    connect(watcher.get(), &ScheduleWatcher::changedOnDisk, this, &Scheduler::reloadIfChanged);
}

bool Scheduler::reloadIfChanged()
{
    if (closed || !guard || !guard->changed())
        return false;
    reload();
    return true;
}

void Scheduler::reload()
{
    guard->reading();
    QString problem;
    UpdateAlarms(readScheduleEntries(s.cfgFile(), &problem));
    tellLater(problem);
    NextTime();
    if (trayView)
        trayView->modify(hint.left(63));
    // The next tick comes soon, as after a change in the setup dialog.
    setInterval(2000);
    emit scheduleReloaded();
}

void Scheduler::loadSchedule()
{
    ScheduleReader reader(s.cfgFile());
    std::optional<QString> line = reader.next();
    tellLater(reader.problem());
    bool writeBack = false;

    if (const std::optional<Settings::Values> saved = platform.settings.load()) {
        s.ChimeOn = saved->chime;
        s.AutoStartOn = saved->startAtLogOn;
    } else {
        // An older schedule file begins with two header lines, the second the chime flag.
        // A file without them, whose settings entry was lost, keeps all its events.
        std::optional<QString> second = line ? reader.next() : std::nullopt;
        if (second && !second->contains(QLatin1Char(','))) {
            s.ChimeOn = *second == QLatin1String("1");
            writeBack = true;
            setupOpen = true;
            line = reader.next();
        } else if (second) {
            reader.unread(*second);
        }
        platform.settings.save({s.ChimeOn, s.AutoStartOn});
    }

    const QDate today = platform.clock.now().date();
    QList<Entry> loaded;
    while (line && loaded.size() < MaxEvents) {
        Entry e = makeEntry(*line, today);
        // A time field that is not a time comes only from editing the file by hand: skip it.
        if (e.rule.isValid())
            loaded.append(e);
        line = reader.next();
    }
    setLines(loaded);

    if (writeBack)
        WriteCfgFile();
    setupOpen = false;
}

void Scheduler::NewConfig()
{
    if (firstStartHook)
        firstStartHook();
    // The first-start entry is not due on the day of the first start.
    Entry first = makeEntry((s.DefaultTime + QStringLiteral("     ,clock.exe,0,")).left(30),
                            platform.clock.now().date());
    first.lastRan =
        Recurrence::localInstant(platform.clock.now().date(), first.rule.startTime()).toMSecsSinceEpoch();
    setLines({first});
    QDir::setCurrent(s.PgmDir);
    QFile::remove(QStringLiteral("Nudgeon.cfg"));
}

void Scheduler::tellLater(const QString& problem)
{
    // After the icon shows and the schedule runs: a message box waits for the user.
    if (!problem.isEmpty())
        QTimer::singleShot(0, this, [this, problem] { platform.errors.showError(problem); });
}

bool Scheduler::WriteCfgFile()
{
    // A change made on disk meanwhile is never written over: the file is read instead.
    if (guard && guard->changed()) {
        reload();
        platform.errors.showError(
            tr("The schedule file was changed by another program meanwhile. It has been "
               "read again and nothing was saved: please make your change once more."));
        return false;
    }
    // The old file stays whole when the new one cannot be written; the user hears of it, as
    // the change then lives only until the program ends.
    const QByteArray bytes = scheduleBytes(s.EventList.mid(0, s.EventCount));
    QString problem;
    if (UserFile::write(s.cfgFile(), bytes, &problem)) {
        if (guard)
            guard->wrote(bytes);
        return true;
    }
    platform.errors.showError(problem.isEmpty() ? cannotCreateMessage(s.cfgFile()) : problem);
    return false;
}

void Scheduler::UpdateAlarms(const QStringList& lines)
{
    const QDate today = platform.clock.now().date();
    QList<Entry> old = entries;
    QList<Entry> updated;
    QList<bool> taken(old.size(), false);
    const auto find = [&](const QString& line, Qt::CaseSensitivity cs) {
        for (int i = 0; i < old.size(); ++i) {
            if (!taken[i] && old[i].line.compare(line, cs) == 0)
                return i;
        }
        return -1;
    };
    for (const QString& line : lines.mid(0, MaxEvents)) {
        int i = find(line, Qt::CaseSensitive);
        if (i < 0)
            i = find(line, Qt::CaseInsensitive);
        if (i >= 0) {
            taken[i] = true;
            Entry kept = old[i];
            kept.line = line;
            updated.append(kept);
        } else {
            updated.append(makeEntry(line, today));
        }
    }
    // A changed entry keeps the snooze of its note.
    for (Entry& e : updated) {
        for (int i = 0; i < old.size() && !e.note.isEmpty() && e.snoozedTo == NoTime; ++i) {
            if (!taken[i] && old[i].note == e.note && old[i].snoozedTo != NoTime) {
                taken[i] = true;
                e.snoozedTo = old[i].snoozedTo;
            }
        }
    }
    for (int i = 0; i < old.size(); ++i) {
        if (!taken[i] && old[i].snoozedTo != NoTime)
            dropSnooze(old[i]);
    }
    setLines(updated);
}

void Scheduler::loadSnoozes(const QDateTime& now)
{
    QStringList seen;
    for (Entry& e : entries) {
        if (e.note.isEmpty() || seen.contains(e.note))
            continue;
        seen.append(e.note);
        const std::optional<QDateTime> at = platform.settings.snoozedUntil(e.note);
        if (!at)
            continue;
        // A snooze whose time passed while the program was not running is not shown late.
        if (at->isValid() && *at > now)
            e.snoozedTo = at->toMSecsSinceEpoch();
        else
            platform.settings.setSnoozedUntil(e.note, QDateTime());
    }
    forgetNext();
}

void Scheduler::storeSnooze(const Entry& entry)
{
    if (!entry.note.isEmpty())
        platform.settings.setSnoozedUntil(entry.note, local(entry.snoozedTo));
}

void Scheduler::dropSnooze(Entry& entry)
{
    entry.snoozedTo = NoTime;
    forgetNext();
    if (!entry.note.isEmpty())
        platform.settings.setSnoozedUntil(entry.note, QDateTime());
}

void Scheduler::Snooze(const QString& line, const QString& noteName, int minutes)
{
    // The whole reference, so that "260930.txt" is not found inside "[1260930.txt]".
    const QString reference = QLatin1Char('[') + noteName + QLatin1Char(']');
    int place = -1;
    for (int i = 0; i < entries.size() && place < 0; ++i) {
        if (entries[i].line == line)
            place = i;
    }
    for (int i = 0; i < entries.size() && place < 0 && !noteName.isEmpty(); ++i) {
        if (entries[i].line.contains(reference))
            place = i;
    }
    if (place >= 0 && minutes > 0) {
        Entry& e = entries[place];
        e.snoozedTo = minuteStart(platform.clock.now().toMSecsSinceEpoch()) + qint64(minutes) * 60000;
        storeSnooze(e);
        forgetNext();
    }
    NextTime();
}

void Scheduler::setToday(const QDate& today)
{
    // The day that was today is yesterday now, and tells whether today keeps its offset.
    const bool follows = todayClock.date.isValid() && todayClock.date == today.addDays(-1);
    yesterdayClock = follows ? std::optional<Recurrence::Day>(todayClock) : std::nullopt;
    todayClock = follows ? todayClock.next() : Recurrence::Day::of(today);
    dayStart = todayClock.start();
    dayEnd = todayClock.end();
    forgetNext();
}

const Recurrence::Day& Scheduler::yesterday() const
{
    if (!yesterdayClock)
        yesterdayClock = Recurrence::Day::of(todayClock.date.addDays(-1));
    return *yesterdayClock;
}

void Scheduler::forgetNext()
{
    lookup.reset();
    statusKey = StatusKey();
}

std::optional<Scheduler::Occurrence> Scheduler::firstOf(int place, qint64 from) const
{
    // The entry's own next time after the one it ran last, on the end of yesterday or today,
    // or its snooze when that comes first.
    const Entry& e = entries[place];
    const qint64 after = e.lastRan == NoTime ? from : std::max(from, e.lastRan + 1);
    std::optional<qint64> own;
    if (after < dayStart)
        own = e.rule.firstOn(yesterday(), after);
    if (!own)
        own = e.rule.firstOn(todayClock, std::max(after, dayStart));
    std::optional<Occurrence> first;
    if (own && *own < dayEnd)
        first = Occurrence{*own, place, false};
    if (e.snoozedTo != NoTime && e.snoozedTo >= from && e.snoozedTo < dayEnd &&
        (!first || e.snoozedTo < first->at))
        first = Occurrence{e.snoozedTo, place, true};
    return first;
}

std::optional<Scheduler::Occurrence> Scheduler::earliestFrom(qint64 from) const
{
    // The answer found for an earlier instant holds up to its own time.
    if (lookup && lookup->from <= from && (!lookup->found || from <= lookup->found->at))
        return lookup->found;
    std::optional<Occurrence> best;
    for (int place = 0; place < entries.size(); ++place) {
        const std::optional<Occurrence> o = firstOf(place, from);
        if (o && (!best || o->at < best->at))
            best = o;
    }
    lookup = Lookup{from, best};
    return best;
}

qint64 Scheduler::msOf(const QDateTime& now) const
{
    // On a steady day every time of the clock is the same offset away from its instant.
    if (!todayClock.offset || now.date() != todayClock.date)
        return now.toMSecsSinceEpoch();
    return dayStart + now.time().msecsSinceStartOfDay();
}

std::optional<Scheduler::Occurrence> Scheduler::nextToday(qint64 now) const
{
    // The earliest of today not yet passed: this minute counts as not passed.
    return earliestFrom(minuteStart(now));
}

void Scheduler::NextTime()
{
    const QDateTime now = platform.clock.now();
    if (todayClock.date != now.date())
        setToday(now.date());
    const qint64 nowMs = msOf(now);
    writeStatus(now, nowMs, nextToday(nowMs));
}

void Scheduler::writeStatus(const QDateTime& now, qint64 nowMs, const std::optional<Occurrence>& next)
{
    const StatusKey key{now.date(), next ? (next->at - minuteStart(nowMs)) / 60000 : -1, missed};
    if (key == statusKey)
        return;
    statusKey = key;
    if (!next) {
        hint =
            tr("No %1 events...").arg(QLocale::system().dayName(now.date().dayOfWeek(), QLocale::LongFormat));
    } else {
        // Real time left, whole minutes of the clock: a day the clock changes has 23 or 25 hours.
        const qint64 left = key.left;
        const qint64 hours = left / 60;
        QString hoursText;
        if (hours == 1)
            hoursText = tr("1hr");
        else if (hours >= 2)
            hoursText = tr("%1hrs").arg(hours);
        hint = left <= 0 ? tr("Running...") : tr("Nudgeon: %1 %2min").arg(hoursText).arg(left % 60);
    }
    if (missed > 0)
        hint += QLatin1String(" (") + tr("%n missed while asleep", nullptr, missed) + QLatin1Char(')');
}

void Scheduler::ChimeTime()
{
    platform.sound.beep();
    platform.clock.sleep(100);
    if (s.ChimeOn)
        platform.sound.play(QStringLiteral("Nudgeon.wav"));
}

void Scheduler::run(const Occurrence& o, bool late)
{
    // A snooze that falls on one of the entry's own times shows the note once.
    Entry& e = entries[o.place];
    if (o.snoozed || e.snoozedTo == o.at)
        dropSnooze(e);
    if (e.lastRan < o.at)
        e.lastRan = o.at;
    forgetNext();
    if (!late)
        missed = 0;
    // Values, not references into the list: whatever runs may change the schedule.
    const DueEntry entry{e.line, local(o.at), late};
    emit due(entry);
}

void Scheduler::passOver(qint64 from, qint64 thisMinute)
{
    // A gap longer than the catch-up window (the computer slept, the clock was put forward):
    // programs and sounds are not run late, as at start-up; a note due today shows once, at
    // once, with its own due time; the rest is counted as missed.
    // The days of the gap, a month at most, each worked out once for all entries.
    QList<Recurrence::Day> days;
    const QDate last = local(thisMinute).date();
    for (Recurrence::Day d = Recurrence::Day::of(std::max(local(from).date(), last.addDays(-31)).addDays(-1));
         d.date <= last; d = d.next())
        days.append(d);
    QList<Occurrence> passed;
    for (int place = 0; place < entries.size(); ++place) {
        const Entry& e = entries[place];
        for (const Recurrence::Day& day : days) {
            for (const qint64 ms : e.rule.instantsOn(day)) {
                if (ms >= from && ms < thisMinute && ms > e.lastRan)
                    passed.append({ms, place, false});
            }
        }
        if (e.snoozedTo != NoTime && e.snoozedTo >= from && e.snoozedTo < thisMinute)
            passed.append({e.snoozedTo, place, true});
    }
    std::stable_sort(passed.begin(), passed.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.at < b.at; });
    QList<int> shown;
    QList<int> lost;
    for (int i = static_cast<int>(passed.size()) - 1; i >= 0 && !closed; --i) {
        const Occurrence& o = passed[i];
        const Entry& e = entries[o.place];
        if (!e.note.isEmpty() && o.at >= dayStart && !shown.contains(o.place)) {
            shown.append(o.place);
            run(o, true);
        } else if (o.snoozed) {
            dropSnooze(entries[o.place]);
        }
    }
    for (const Occurrence& o : passed) {
        if (!shown.contains(o.place) && !lost.contains(o.place))
            lost.append(o.place);
    }
    missed = static_cast<int>(lost.size());
}

void Scheduler::DoTime()
{
    if (closed)
        return;
    // Whatever the watch missed (a link whose file came back, a full watch table) is caught here.
    reloadIfChanged();
    const QDateTime now = platform.clock.now();
    if (todayClock.date != now.date())
        setToday(now.date());
    const qint64 nowMs = msOf(now);
    // The clock put back: only this minute is looked at; what ran stays done.
    if (nowMs < lastTick)
        lastTick = minuteStart(nowMs);

    // The minute of the last tick is looked at again, for entries of it still waiting their turn.
    const qint64 from = minuteStart(lastTick);
    const qint64 thisMinute = minuteStart(nowMs);
    lastTick = nowMs;
    if ((thisMinute - from) / 60000 > CatchUpMinutes) {
        passOver(from, thisMinute);
    } else if (from < thisMinute) {
        // A tick held up past whole minutes runs what it passed over, late, in time order.
        const quint64 schedule = generation;
        for (std::optional<Occurrence> o = earliestFrom(from); o && o->at < thisMinute;
             o = earliestFrom(from)) {
            run(*o, false);
            // Whatever ran may have let the setup dialog change the schedule meanwhile.
            if (closed || schedule != generation)
                break;
        }
    }
    if (closed)
        return;

    std::optional<Occurrence> next = nextToday(nowMs);
    writeStatus(now, nowMs, next);
    if (trayView)
        trayView->modify(hint.left(63));
    emit statusChanged(hint);

    const qint64 hourKey = now.date().toJulianDay() * 24 + now.time().hour();
    if (now.time().minute() == 0 && s.ChimeOn && chimedHour != hourKey) {
        chimedHour = hourKey;
        ChimeTime();
    }

    if (!next || next->at > nowMs) {
        setInterval(minuteInterval(now));
        return;
    }
    // One entry per tick; the next of the same minute two seconds later.
    run(*next, false);
    if (closed)
        return;
    // Another entry next: back in two seconds, while the minute may still be current. With
    // nothing left today the first place counts as next.
    const int ran = next->place;
    const QDateTime after = platform.clock.now();
    const qint64 afterMs = msOf(after);
    next = nextToday(afterMs);
    writeStatus(after, afterMs, next);
    setInterval((next ? next->place : 0) != ran ? 2000 : minuteInterval(after));
}

QString Scheduler::nextLine() const
{
    const std::optional<Occurrence> next = nextToday(platform.clock.now().toMSecsSinceEpoch());
    if (next)
        return entries[next->place].line;
    return entries.isEmpty() ? QString() : entries.first().line;
}

bool Scheduler::isDueToday(const QString& line) const
{
    const QDateTime now = platform.clock.now();
    const qint64 thisMinute = minuteStart(now.toMSecsSinceEpoch());
    for (int place = 0; place < entries.size(); ++place) {
        const Entry& e = entries[place];
        if (e.line.compare(line, Qt::CaseInsensitive) != 0)
            continue;
        if (e.snoozedTo != NoTime && e.snoozedTo >= thisMinute && local(e.snoozedTo).date() == now.date())
            return true;
        for (const qint64 ms : e.rule.instantsOn(Recurrence::Day::of(now.date()))) {
            if (ms >= thisMinute && ms > e.lastRan)
                return true;
        }
        return false;
    }
    return false;
}

void Scheduler::TimerEnd()
{
    if (trayView)
        trayView->remove();
}

void Scheduler::CloseIt()
{
    if (closed)
        return;
    closed = true;
    s.EventList.clear();
    s.EventCount = 0;
    entries.clear();
    forgetNext();
    TimerEnd();
    timer.stop();
    emit closedDown();
}
