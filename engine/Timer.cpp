#include "Timer.h"

#include "Clock.h"
#include "ErrorBox.h"
#include "EventActions.h"
#include "NoteFiles.h"
#include "ScheduleFile.h"
#include "ScheduleGuard.h"
#include "ScheduleWatcher.h"
#include "Settings.h"
#include "Sound.h"
#include "TrayView.h"
#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

TTimerForm::TTimerForm(const Platform& platform, ScheduleState& state, const ProgramPaths& paths,
                       QObject* parent)
    : QObject(parent), platform(platform), s(state), paths(paths)
{
    // A coarse timer may drift by seconds, enough to pass over a whole minute.
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(65535);
    // Queued, so that the tick runs from the event queue and not inside the timer's own
    // dispatch: a timer is never dispatched again while its dispatch is still under way, and
    // a note shown by a tick keeps the event loop running for as long as it is up.
    connect(&Timer1, &QTimer::timeout, this, &TTimerForm::DoTime, Qt::QueuedConnection);
}

TTimerForm::~TTimerForm()
{
    TimerEnd();
}

qint64 TTimerForm::minuteKey(const QDateTime& now)
{
    return now.date().toJulianDay() * 1440 + now.time().hour() * 60 + now.time().minute();
}

int TTimerForm::minuteInterval(const QDateTime& now)
{
    // The ticks keep near the start of each minute: a tick held up a little never passes a
    // minute over, entries of one minute have the whole minute to run one after the other, and
    // an entry runs at the start of its minute. A tick that came more than a few seconds into
    // its minute moves the next one to a second into the coming minute.
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    return intoMinute >= 5000 ? 61000 - intoMinute : 60000;
}

void TTimerForm::setInterval(int ms)
{
    // Setting a new interval restarts the period; the same interval lets it run on.
    if (Timer1.interval() != ms)
        Timer1.setInterval(ms);
}

void TTimerForm::TimeInit()
{
    Timer1.start(6000);
    s.reset();
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
    renewedOn = platform.clock.now().date();

    NextTime();
    if (trayView)
        trayView->add(Hint);
    platform.sound.play(QStringLiteral("ringin.wav"));
    watcher = std::make_unique<ScheduleWatcher>(*guard);
    connect(watcher.get(), &ScheduleWatcher::changedOnDisk, this, &TTimerForm::reloadIfChanged);
}

bool TTimerForm::reloadIfChanged()
{
    if (closed || !guard || !guard->changed())
        return false;
    reload();
    return true;
}

void TTimerForm::reload()
{
    guard->reading();
    reloadLines(readScheduleEntries(s.cfgFile()));
}

void TTimerForm::reloadLines(const QStringList& lines)
{
    updateAlarms(s, lines, platform.clock.now().date());
    NextTime();
    if (trayView)
        trayView->modify(Hint.left(63));
    // The next tick comes soon, as after a change in the setup dialog.
    setInterval(2000);
    emit scheduleReloaded();
}

void TTimerForm::loadSchedule()
{
    ScheduleReader reader(s.cfgFile());
    std::optional<QString> line = reader.next();

    if (const std::optional<Settings::Values> saved = platform.settings.load()) {
        s.ChimeOn = saved->chime;
        s.AutoStartOn = saved->startAtLogOn;
    } else {
        // An older schedule file begins with two header lines, the second the chime flag.
        // A file without them, whose settings entry was lost, keeps all its events.
        std::optional<QString> second = line ? reader.next() : std::nullopt;
        if (second && !second->contains(QLatin1Char(','))) {
            s.ChimeOn = *second == QLatin1String("1");
            Tag = -1;
            line = reader.next();
        } else if (second) {
            reader.unread(*second);
        }
        platform.settings.save({s.ChimeOn, s.AutoStartOn});
    }

    const QDate today = platform.clock.now().date();
    while (line && s.EventList.size() < MaxEvents) {
        s.WorkLine = *line;
        thisEvent(s, today);
        const int due = timeValue(s.EventTime);
        // A time field that is not a time comes only from editing the file by hand: skip it.
        if (due >= 0) {
            s.EventList.append(*line);
            s.EventCount = static_cast<int>(s.EventList.size());
            s.EventTimes[static_cast<size_t>(s.EventCount)] = due;
            s.EventRepeat[static_cast<size_t>(s.EventCount)] = s.EventRep;
        }
        line = reader.next();
    }

    if (Tag < 0)
        WriteCfgFile();
    Tag = 0;

    if (!s.EventList.isEmpty()) {
        s.WorkLine = s.EventList.at(s.NextEvent - 1);
        ThisEvent();
    }
}

void TTimerForm::NewConfig()
{
    if (firstStartHook)
        firstStartHook();
    s.EventList.clear();
    s.EventList.append((s.EventTime + QStringLiteral("     ,clock.exe,0,")).left(30));
    s.EventTimes[static_cast<size_t>(s.NextEvent)] = 1630;
    s.NextEvent = 1;
    s.EventCount = 1;
    QDir::setCurrent(s.PgmDir);
    QFile::remove(QStringLiteral("Nudgeon.cfg"));
}

bool TTimerForm::WriteCfgFile()
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
    if (writeWholeFile(s.cfgFile(), bytes)) {
        if (guard)
            guard->wrote(bytes);
        return true;
    }
    platform.errors.showError(cannotCreateMessage(s.cfgFile()));
    return false;
}

void TTimerForm::ThisEvent()
{
    thisEvent(s, platform.clock.now().date());
}

void TTimerForm::NextTime()
{
    NextTime(platform.clock.now());
}

void TTimerForm::NextTime(const QDateTime& now)
{
    const int nowTime = now.time().hour() * 100 + now.time().minute();
    s.NextEvent = 0;
    int best = 2400;
    if (s.EventCount >= 1) {
        for (int i = 1; i <= MaxEvents; ++i) {
            const int due = s.EventTimes[static_cast<size_t>(i)];
            // An entry that ran in this minute and kept its minute (a repeat of a whole day) is
            // not chosen again in it, so the others of the minute still run.
            const bool ranNow = due == nowTime && ranInMinute[static_cast<size_t>(i)] == minuteKey(now);
            if (due >= nowTime && s.EventRepeat[static_cast<size_t>(i)] >= 0 && due - nowTime < best &&
                !runningSlots.contains(i) && !ranNow) {
                s.NextEvent = i;
                best = due - nowTime;
            }
        }
    }
    NowMin = now.time().minute();

    if (s.NextEvent == 0) {
        s.NextEvent = 1;
        Hint = QStringLiteral("No ") +
               QLocale::system().dayName(now.date().dayOfWeek(), QLocale::LongFormat) +
               QStringLiteral(" events...");
        HoursLeft = 24;
        return;
    }

    const int due = s.EventTimes[static_cast<size_t>(s.NextEvent)];
    HoursLeft = due / 100 - now.time().hour();
    MinsLeft = 60 - NowMin + due % 100;
    if (MinsLeft >= 60)
        MinsLeft -= 60;
    else
        HoursLeft -= 1;
    if (HoursLeft < 0)
        HoursLeft += 24;

    QString hours;
    if (HoursLeft == 1)
        hours = QStringLiteral("1hr");
    else if (HoursLeft >= 2)
        hours = QString::number(HoursLeft) + QStringLiteral("hrs");
    Hint = QStringLiteral("Nudgeon: ") + hours + QLatin1Char(' ') + QString::number(MinsLeft) +
           QStringLiteral("min");
    if (HoursLeft == 0 && MinsLeft == 0)
        Hint = QStringLiteral("Running...");
}

void TTimerForm::rerunSlot(int slot)
{
    if (slot < 1 || slot > MaxEvents)
        return;
    const int r = s.EventRepeat[static_cast<size_t>(slot)];
    const int due = s.EventTimes[static_cast<size_t>(slot)];
    if (r <= 0 || due < 0)
        return;
    int hour = due / 100 + r / 60;
    int minute = due % 100 + r % 60;
    if (minute >= 60) {
        minute -= 60;
        hour += 1;
    }
    s.EventTimes[static_cast<size_t>(slot)] = (hour % 24) * 100 + minute;
}

void TTimerForm::skipMissedRepeats(const QDateTime& now)
{
    // A repeating entry whose time passed without a run (the program started after it, the
    // computer slept, a tick came too late) moves on to its next time from now, so that it
    // goes on repeating today; the time it missed is not run late. A time after midnight that a
    // run moved it to lies less than one interval ahead of now and is left alone.
    const int nowMinutes = now.time().hour() * 60 + now.time().minute();
    for (int i = 1; i <= MaxEvents; ++i) {
        const auto slot = static_cast<size_t>(i);
        const int r = s.EventRepeat[slot];
        int due = s.EventTimes[slot];
        if (r <= 0 || due < 0 || runningSlots.contains(i))
            continue;
        int dueMinutes = due / 100 * 60 + due % 100;
        if (dueMinutes >= nowMinutes || dueMinutes + 1440 - nowMinutes <= r)
            continue;
        while (dueMinutes < nowMinutes)
            dueMinutes += r;
        s.EventTimes[slot] = (dueMinutes / 60 % 24) * 100 + dueMinutes % 60;
    }
}

void TTimerForm::runPassedOver(qint64 fromMinute, const QDateTime& now)
{
    // A tick held up past whole minutes (a busy computer, a short sleep) runs the entries due
    // in the minutes it passed over, late, in the order of their times, each once; after a
    // longer gap the times that passed are missed, as at start-up. Today's minutes only: the
    // day's states were renewed by now.
    const qint64 nowMinute = minuteKey(now);
    const qint64 today = now.date().toJulianDay() * 1440;
    QList<std::pair<int, int>> passed; // due time, place
    for (int i = 1; i <= s.EventCount && i <= MaxEvents; ++i) {
        const auto slot = static_cast<size_t>(i);
        const int due = s.EventTimes[slot];
        if (due < 0 || s.EventRepeat[slot] < 0 || runningSlots.contains(i))
            continue;
        const qint64 dueMinute = today + due / 100 * 60 + due % 100;
        if (dueMinute >= fromMinute && dueMinute < nowMinute)
            passed.append({due, i});
    }
    std::stable_sort(passed.begin(), passed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [due, slot] : passed) {
        // A tick while an earlier one's note showed may have run or moved it meanwhile.
        const auto place = static_cast<size_t>(slot);
        if (slot > s.EventCount || s.EventTimes[place] != due || s.EventRepeat[place] < 0 ||
            runningSlots.contains(slot))
            continue;
        s.NextEvent = slot;
        RunIt();
        if (closed)
            return;
    }
}

void TTimerForm::RerunTime()
{
    rerunSlot(s.NextEvent);
}

void TTimerForm::ChimeTime()
{
    platform.sound.beep();
    platform.clock.sleep(100);
    if (s.ChimeOn)
        platform.sound.play(QStringLiteral("Nudgeon.wav"));
}

void TTimerForm::RunIt()
{
    // The entry that runs is the one handed back, whatever is chosen while its note shows.
    const int slot = s.NextEvent;
    if (slot < 1 || slot > s.EventCount || runningSlots.contains(slot))
        return;
    runningSlots.append(slot);
    ranInMinute[static_cast<size_t>(slot)] = minuteKey(platform.clock.now());
    s.WorkLine = cutText(s.EventList.at(slot - 1));
    ThisEvent();
    const QString timeText = s.EventList.at(slot - 1).left(9);
    const QString note = actions ? actions->act(slot) : QString();
    if (s.EventRepeat[static_cast<size_t>(slot)] == 0)
        s.EventRepeat[static_cast<size_t>(slot)] = -1;
    if (!note.isEmpty())
        actions->showNote(note, timeText);
    runningSlots.removeOne(slot);
    if (closed)
        return;
    if (!snoozedSlots.removeOne(slot))
        rerunSlot(slot);
}

void TTimerForm::Snooze(const QString& noteName, int minutes)
{
    // The whole reference, so that "260930.txt" is not found inside "[1260930.txt]".
    const QString reference = QLatin1Char('[') + noteName + QLatin1Char(']');
    for (int i = 1; i <= s.EventCount && i <= MaxEvents && !noteName.isEmpty(); ++i) {
        if (!s.EventList.at(i - 1).contains(reference))
            continue;
        const auto slot = static_cast<size_t>(i);
        const int oldRepeat = s.EventRepeat[slot];
        const int oldDue = s.EventTimes[slot];
        const QTime now = platform.clock.now().time();
        s.EventRepeat[slot] = minutes;
        s.EventTimes[slot] = now.hour() * 100 + now.minute();
        rerunSlot(i);
        // Never earlier than it was: a snooze past midnight keeps the old time.
        if (s.EventTimes[slot] < oldDue)
            s.EventTimes[slot] = oldDue;
        s.EventRepeat[slot] = oldRepeat < 0 ? 0 : oldRepeat;
        if (runningSlots.contains(i) && !snoozedSlots.contains(i))
            snoozedSlots.append(i);
        break;
    }
    NextTime();
}

void TTimerForm::renewDay(const QDate& today)
{
    for (int i = 1; i <= s.EventCount && i <= MaxEvents; ++i) {
        s.WorkLine = cutText(s.EventList.at(i - 1));
        s.EventRep = -1;
        if (!s.WorkLine.isEmpty())
            thisEvent(s, today);
        s.EventRepeat[static_cast<size_t>(i)] = s.EventRep;
    }
    renewedOn = today;
}

void TTimerForm::DoTime()
{
    if (closed)
        return;
    // Whatever the watch missed (a link whose file came back, a full watch table) is caught here.
    reloadIfChanged();
    const QDateTime now = platform.clock.now();
    const qint64 nowMinute = minuteKey(now);
    const qint64 firstPassed = lastTickMinute + 1;
    lastTickMinute = nowMinute;
    // A new day renews every entry's state before the next entry is chosen, so an entry at
    // midnight runs every day; a day begun while no tick came (a suspended computer) too.
    if (now.date() != renewedOn)
        renewDay(now.date());
    if (firstPassed > 0 && firstPassed < nowMinute && nowMinute - firstPassed < CatchUpMinutes) {
        runPassedOver(firstPassed, now);
        if (closed)
            return;
    }
    skipMissedRepeats(now);

    NextTime(now);
    if (trayView)
        trayView->modify(Hint.left(63));

    const qint64 hourKey = now.date().toJulianDay() * 24 + now.time().hour();
    if (NowMin == 0 && s.ChimeOn && chimedHour != hourKey) {
        chimedHour = hourKey;
        ChimeTime();
    }

    if (HoursLeft != 0 || MinsLeft != 0) {
        setInterval(minuteInterval(now));
        return;
    }
    RunIt();
    if (closed)
        return;
    const int ran = s.NextEvent;
    NextTime();
    setInterval(s.NextEvent != ran ? 2000 : minuteInterval(platform.clock.now()));
}

void TTimerForm::TimerEnd()
{
    if (trayView)
        trayView->remove();
}

void TTimerForm::CloseIt()
{
    if (closed)
        return;
    closed = true;
    s.EventList.clear();
    s.EventCount = 0;
    TimerEnd();
    Timer1.stop();
    emit closedDown();
}
