// SPDX-License-Identifier: MIT
#include "engine/Scheduler.h"

#include "engine/ScheduleStore.h"
#include "engine/StatusTip.h"
#include "platform/Clock.h"
#include "platform/Settings.h"
#include "platform/Sound.h"
#include "schedule/EventLine.h"

#include <QTimeZone>
#include <algorithm>

namespace {

// The entry of a first start: a program that never runs on the day it was made.
const QString firstStartLine = QStringLiteral("4:30 PM     ,clock.exe,0,");

qint64 minuteStart(qint64 ms)
{
    return ms - ((ms % 60000) + 60000) % 60000;
}

QDateTime local(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
}

} // namespace

Scheduler::Scheduler(const Platform& platform, ScheduleStore& store, QObject* parent)
    : ScheduleSource(parent), platform(platform), store(store)
{
    // A coarse timer may drift by seconds, enough to pass over a whole minute.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(65535);
    // Queued, so that the tick runs from the event queue and not inside the timer's own
    // dispatch: a timer is never dispatched again while its dispatch is still under way, and
    // an error box opened by a tick keeps the event loop running for as long as it is up.
    connect(&timer, &QTimer::timeout, this, &Scheduler::tick, Qt::QueuedConnection);
    connect(&store, &ScheduleStore::changedOnDisk, this, &Scheduler::reloadIfChanged);
}

Scheduler::~Scheduler() = default;

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

Scheduler::Scheduled Scheduler::makeScheduled(const QString& line, const QDate& anchor) const
{
    Scheduled made;
    made.entry = Entry(line);
    made.rule = Recurrence(made.entry, anchor);
    return made;
}

void Scheduler::setScheduled(const QList<Scheduled>& list)
{
    scheduled = list;
    forgetNext();
    ++generation;
}

void Scheduler::start()
{
    timer.start(6000);
    scheduled.clear();
    setInterval(2000);
    if (store.exists()) {
        const QDate today = platform.clock.now().date();
        QList<Scheduled> loaded;
        for (const QString& line : store.load())
            loaded.append(makeScheduled(line, today));
        setScheduled(loaded);
    } else {
        startFresh();
    }

    const QDateTime now = platform.clock.now();
    // At start-up nothing runs late: the ticks look back to the start of this minute only.
    lastTick = minuteStart(now.toMSecsSinceEpoch());
    loadSnoozes(now);
    refreshStatus();
    emit started(statusText);
    platform.sound.play(QStringLiteral("ringin.wav"));
    store.watch();
}

bool Scheduler::reloadIfChanged()
{
    if (closed || !store.hasChanged())
        return false;
    reload();
    return true;
}

void Scheduler::reload()
{
    replaceEntries(store.reread());
    refreshStatus();
    emit statusChanged(statusText);
    // The next tick comes soon, as after a change in the setup dialog.
    setInterval(2000);
    emit scheduleReloaded();
}

void Scheduler::startFresh()
{
    if (firstStartHook)
        firstStartHook();
    const QDate today = platform.clock.now().date();
    Scheduled first = makeScheduled(firstStartLine.left(30), today);
    first.lastRan = Recurrence::localInstant(today, first.rule.startTime()).toMSecsSinceEpoch();
    setScheduled({first});
}

bool Scheduler::saveSchedule()
{
    QStringList lines;
    for (const Scheduled& s : scheduled)
        lines.append(s.entry.line());
    return store.write(lines);
}

bool Scheduler::applyEdits(const QStringList& lines)
{
    replaceEntries(lines);
    const bool saved = saveSchedule();
    // The next tick comes soon, to run or count what the edit brought.
    setInterval(2000);
    return saved;
}

void Scheduler::replaceEntries(const QStringList& lines)
{
    const QDate today = platform.clock.now().date();
    QList<Scheduled> old = scheduled;
    QList<Scheduled> updated;
    QList<bool> taken(old.size(), false);
    const auto find = [&](const QString& line, Qt::CaseSensitivity cs) {
        for (int i = 0; i < old.size(); ++i) {
            if (!taken[i] && old[i].entry.line().compare(line, cs) == 0)
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
            Scheduled kept = old[i];
            kept.entry = Entry(line);
            updated.append(kept);
        } else {
            updated.append(makeScheduled(line, today));
        }
    }
    // A changed entry keeps the snooze of its note.
    for (Scheduled& e : updated) {
        const QString note = e.entry.shownNote();
        for (int i = 0; i < old.size() && !note.isEmpty() && e.snoozedTo == NoTime; ++i) {
            if (!taken[i] && old[i].entry.shownNote() == note && old[i].snoozedTo != NoTime) {
                taken[i] = true;
                e.snoozedTo = old[i].snoozedTo;
            }
        }
    }
    for (int i = 0; i < old.size(); ++i) {
        if (!taken[i] && old[i].snoozedTo != NoTime)
            dropSnooze(old[i]);
    }
    setScheduled(updated);
}

void Scheduler::loadSnoozes(const QDateTime& now)
{
    QStringList seen;
    for (Scheduled& e : scheduled) {
        const QString note = e.entry.shownNote();
        if (note.isEmpty() || seen.contains(note))
            continue;
        seen.append(note);
        const std::optional<QDateTime> at = platform.settings.snoozedUntil(note);
        if (!at)
            continue;
        // A snooze whose time passed while the program was not running is not shown late.
        if (at->isValid() && *at > now)
            e.snoozedTo = at->toMSecsSinceEpoch();
        else
            platform.settings.setSnoozedUntil(note, QDateTime());
    }
    forgetNext();
}

void Scheduler::storeSnooze(const Scheduled& s)
{
    if (!s.entry.shownNote().isEmpty())
        platform.settings.setSnoozedUntil(s.entry.shownNote(), local(s.snoozedTo));
}

void Scheduler::dropSnooze(Scheduled& s)
{
    s.snoozedTo = NoTime;
    forgetNext();
    if (!s.entry.shownNote().isEmpty())
        platform.settings.setSnoozedUntil(s.entry.shownNote(), QDateTime());
}

void Scheduler::snooze(const QString& line, const QString& noteName, int minutes)
{
    // The whole reference, so that "260930.txt" is not found inside "[1260930.txt]".
    const QString reference = QLatin1Char('[') + noteName + QLatin1Char(']');
    int place = -1;
    for (int i = 0; i < scheduled.size() && place < 0; ++i) {
        if (scheduled[i].entry.line() == line)
            place = i;
    }
    for (int i = 0; i < scheduled.size() && place < 0 && !noteName.isEmpty(); ++i) {
        if (scheduled[i].entry.line().contains(reference))
            place = i;
    }
    if (place >= 0 && minutes > 0) {
        Scheduled& e = scheduled[place];
        e.snoozedTo = minuteStart(platform.clock.now().toMSecsSinceEpoch()) + qint64(minutes) * 60000;
        storeSnooze(e);
        forgetNext();
        emit snoozed(line, local(e.snoozedTo));
    }
    refreshStatus();
}

void Scheduler::followZone(const QDateTime& now)
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    if (zoneSeen.at != NoTime &&
        (id != zoneSeen.id || local(zoneSeen.at).offsetFromUtc() != zoneSeen.offset)) {
        // An entry that ran at nine ran for nine of the clock: a zone to the west, whose nine is
        // still to come, does not run it again. The old zone's offset is the one last seen.
        for (Scheduled& s : scheduled) {
            if (s.lastRan == NoTime)
                continue;
            const QDateTime wall =
                QDateTime::fromMSecsSinceEpoch(s.lastRan + zoneSeen.offset * qint64(1000), Qt::UTC);
            s.lastRan = Recurrence::localInstant(wall.date(), wall.time()).toMSecsSinceEpoch();
        }
        todayClock = Recurrence::Day();
        yesterdayClock.reset();
        forgetNext();
    }
    zoneSeen = ZoneSeen{id, now.toMSecsSinceEpoch(), now.offsetFromUtc()};
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
    const Scheduled& e = scheduled[place];
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
    for (int place = 0; place < scheduled.size(); ++place) {
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

void Scheduler::refreshStatus()
{
    const QDateTime now = platform.clock.now();
    followZone(now);
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
    const std::optional<qint64> left = next ? std::optional<qint64>(key.left) : std::nullopt;
    statusText = StatusTip::text(now.date(), left, missed);
    nextDueText = StatusTip::nextText(now.date(), next ? local(next->at).time() : QTime(), left);
}

void Scheduler::run(const Occurrence& o, bool late)
{
    // A snooze that falls on one of the entry's own times shows the note once.
    Scheduled& e = scheduled[o.place];
    if (o.snoozed || e.snoozedTo == o.at)
        dropSnooze(e);
    if (e.lastRan < o.at)
        e.lastRan = o.at;
    forgetNext();
    if (!late)
        missed = 0;
    // Values, not references into the list: whatever runs may change the schedule.
    lastNoteName = e.entry.noteName();
    const DueEntry entry{e.entry, local(o.at), late};
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
    for (int place = 0; place < scheduled.size(); ++place) {
        const Scheduled& e = scheduled[place];
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
    // Taken before anything runs: a note shown late may let the schedule change meanwhile.
    QList<DueEntry> passedOccurrences;
    passedOccurrences.reserve(passed.size());
    for (const Occurrence& o : passed)
        passedOccurrences.append(DueEntry{scheduled[o.place].entry, local(o.at), false});
    QList<int> shown;
    QList<int> late;
    for (int i = static_cast<int>(passed.size()) - 1; i >= 0; --i) {
        const Occurrence& o = passed[i];
        const Scheduled& e = scheduled[o.place];
        if (!e.entry.shownNote().isEmpty() && o.at >= dayStart && !shown.contains(o.place)) {
            shown.append(o.place);
            passedOccurrences[i].late = true;
            late.append(i);
        } else if (o.snoozed) {
            dropSnooze(scheduled[o.place]);
        }
    }
    QList<int> lost;
    for (const Occurrence& o : passed) {
        if (!shown.contains(o.place) && !lost.contains(o.place))
            lost.append(o.place);
    }
    missed = static_cast<int>(lost.size());
    // Told before the late notes show: whatever tells the user comes up beneath them.
    if (!passedOccurrences.isEmpty())
        emit passedOver(passedOccurrences);
    for (const int i : late) {
        if (closed)
            break;
        run(passed[i], true);
    }
}

void Scheduler::tick()
{
    if (closed)
        return;
    // Whatever the watch missed (a link whose file came back, a full watch table) is caught here.
    reloadIfChanged();
    const QDateTime now = platform.clock.now();
    followZone(now);
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
    emit statusChanged(statusText);

    const qint64 hourKey = now.date().toJulianDay() * 24 + now.time().hour();
    if (now.time().minute() == 0 && chimedHour != hourKey) {
        chimedHour = hourKey;
        emit hourStarted();
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

std::optional<DueEntry> Scheduler::nextDue() const
{
    const std::optional<Occurrence> next = nextToday(platform.clock.now().toMSecsSinceEpoch());
    if (!next)
        return std::nullopt;
    return DueEntry{scheduled[next->place].entry, local(next->at), false};
}

QDate Scheduler::anchorOf(const QString& line) const
{
    for (const Scheduled& s : scheduled) {
        if (s.entry.line() == line)
            return s.rule.anchorDay();
    }
    return platform.clock.now().date();
}

QString Scheduler::nextLine() const
{
    const std::optional<Occurrence> next = nextToday(platform.clock.now().toMSecsSinceEpoch());
    if (next)
        return scheduled[next->place].entry.line();
    return scheduled.isEmpty() ? QString() : scheduled.first().entry.line();
}

bool Scheduler::isDueToday(const QString& line) const
{
    const QDateTime now = platform.clock.now();
    const qint64 thisMinute = minuteStart(now.toMSecsSinceEpoch());
    for (const Scheduled& e : scheduled) {
        if (e.entry.line().compare(line, Qt::CaseInsensitive) != 0)
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

QList<Entry> Scheduler::entries() const
{
    QList<Entry> list;
    list.reserve(scheduled.size());
    for (const Scheduled& s : scheduled)
        list.append(s.entry);
    return list;
}

void Scheduler::closeDown()
{
    if (closed)
        return;
    closed = true;
    scheduled.clear();
    forgetNext();
    timer.stop();
    emit closedDown();
}
