// SPDX-License-Identifier: MIT
#pragma once
// The engine: start-up, the choice of the next due entry, the minute tick and the chime.

#include "DueEntry.h"
#include "Platform.h"
#include "ProgramPaths.h"
#include "Recurrence.h"
#include "ScheduleState.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

class ScheduleGuard;
class ScheduleWatcher;
class TrayView;

class Scheduler : public QObject
{
    Q_OBJECT

public:
    Scheduler(const Platform& platform, ScheduleState& state, const ProgramPaths& paths,
              QObject* parent = nullptr);
    ~Scheduler() override;

    void setTray(TrayView* tray) { trayView = tray; }
    // Called at a first start, before the first-start entry is made.
    void setFirstStartHook(std::function<void()> hook) { firstStartHook = std::move(hook); }

    // Brings the engine up: settings, schedule, snoozes, next entry, tray icon, start sound.
    void TimeInit();
    // The tick.
    void DoTime();
    // Chooses the entry due next today and writes the status text.
    void NextTime();
    // A beep, a short pause and, when the chime is on, the chime sound.
    void ChimeTime();
    // Writes the schedule file; tells the user and gives false when it could not, or when the
    // file changed on disk since it was last read or written (it is read again instead).
    bool WriteCfgFile();
    // Reads the schedule file again when it changed on disk since the program last read or
    // wrote it; true when it did. Nothing is written back.
    bool reloadIfChanged();
    // The schedule of a first start: one entry, nothing written.
    void NewConfig();
    // Makes the schedule the given lines. An entry whose line is unchanged keeps what it ran,
    // its snooze and its series wherever its line moved; a snooze follows its note too.
    void UpdateAlarms(const QStringList& lines);
    // Puts off a shown note: its entry (the line, or else the first whose note reference names
    // the note) falls due again the given minutes from now, once. Kept across a restart.
    void Snooze(const QString& line, const QString& noteName, int minutes);
    // Ends the program: releases the schedule, removes the tray icon, stops the engine.
    void CloseIt();
    // Removes the tray icon.
    void TimerEnd();

    // Sets the timer's interval; the same interval lets the running period go on.
    void setInterval(int ms);
    int interval() const { return timer.interval(); }
    bool isTicking() const { return timer.isActive(); }
    Qt::TimerType timerType() const { return timer.timerType(); }

    // The status text of the tray tip.
    QString status() const { return hint; }
    // The line of the entry due next today; the first line when none is.
    QString nextLine() const;
    // Whether the entry of this line falls due (again) later today.
    bool isDueToday(const QString& line) const;
    // The setup dialog is open: the tray does not open a second one.
    bool isSetupOpen() const { return setupOpen; }
    void setSetupOpen(bool open) { setupOpen = open; }
    // The setup dialog only adds new entries; kept between openings.
    bool newMode() const { return newEntryMode; }
    void setNewMode(bool on) { newEntryMode = on; }

    bool isClosed() const { return closed; }
    ScheduleState& state() { return s; }

    // A tick that comes at most this many minutes after the last runs what it passed over.
    static constexpr int CatchUpMinutes = 10;

signals:
    // The status text changed with a tick.
    void statusChanged(const QString& status);
    // An entry fell due and should be carried out.
    void due(const DueEntry& entry);
    // The program has been closed and its event loop should end.
    void closedDown();
    // The schedule was read again from the file.
    void scheduleReloaded();

private:
    struct Entry
    {
        QString line;
        Recurrence rule;
        // The note file the entry shows, empty when it shows none.
        QString note;
        // Its latest occurrence that ran: none up to it runs again.
        qint64 lastRan = NoTime;
        // When a snooze brings it back; NoTime when none is pending.
        qint64 snoozedTo = NoTime;
    };
    // Instants are kept as milliseconds since the epoch, compared without asking the zone.
    static constexpr qint64 NoTime = std::numeric_limits<qint64>::min();
    struct Occurrence
    {
        qint64 at = NoTime;
        int place = 0;
        bool snoozed = false;
    };

    Entry makeEntry(const QString& line, const QDate& anchor) const;
    void loadSchedule();
    // Takes the file's lines as the schedule, as the setup dialog's are, and ticks again soon.
    void reload();
    // Shows the message once the event loop runs; nothing when it is empty.
    void tellLater(const QString& problem);
    void loadSnoozes(const QDateTime& now);
    void storeSnooze(const Entry& entry);
    void dropSnooze(Entry& entry);
    void setLines(const QList<Entry>& lines);
    // Makes this the day the clock is on: its start, end and offset.
    void setToday(const QDate& today);
    const Recurrence::Day& yesterday() const;
    // What an entry ran, its snooze or the schedule changed: the next occurrence is looked
    // for again.
    void forgetNext();
    // The earliest occurrence not yet run at or after an instant and before today's end, the
    // lowest place among those of one time.
    std::optional<Occurrence> earliestFrom(qint64 from) const;
    std::optional<Occurrence> firstOf(int place, qint64 from) const;
    std::optional<Occurrence> nextToday(qint64 now) const;
    void run(const Occurrence& o, bool late);
    void passOver(qint64 from, qint64 thisMinute);
    void writeStatus(const QDateTime& now, qint64 nowMs, const std::optional<Occurrence>& next);
    // A time of the clock as ms since the epoch, without asking the zone on a steady day.
    qint64 msOf(const QDateTime& now) const;
    static int minuteInterval(const QDateTime& now);

    Platform platform;
    ScheduleState& s;
    ProgramPaths paths;
    TrayView* trayView = nullptr;
    std::function<void()> firstStartHook;
    std::unique_ptr<ScheduleGuard> guard;
    std::unique_ptr<ScheduleWatcher> watcher;
    QTimer timer;
    QString hint;
    bool closed = false;
    bool setupOpen = false;
    bool newEntryMode = false;
    // The entries in the schedule's order, in step with the state's list.
    QList<Entry> entries;
    // The day the clock is on and the day before, worked out once a day.
    Recurrence::Day todayClock;
    mutable std::optional<Recurrence::Day> yesterdayClock;
    // The earliest occurrence at or after an instant, kept until what it depends on changes:
    // it stays the answer for any later instant up to its own.
    struct Lookup
    {
        qint64 from = NoTime;
        std::optional<Occurrence> found;
    };
    mutable std::optional<Lookup> lookup;
    // The start and end of today: what falls due from its end on is tomorrow's.
    qint64 dayStart = NoTime;
    qint64 dayEnd = NoTime;
    // The status text's inputs when it was last written: the same ones give the same text.
    struct StatusKey
    {
        QDate day;
        qint64 left = -1;
        int missed = 0;
        bool operator==(const StatusKey& o) const
        {
            return day == o.day && left == o.left && missed == o.missed;
        }
    } statusKey;
    // Counts the changes of the schedule.
    quint64 generation = 0;
    qint64 lastTick = NoTime;
    // The hour (days * 24 + hour) last chimed, so that a second tick in minute 0 stays silent.
    qint64 chimedHour = -1;
    // Entries missed while the computer slept, told in the tip until the next entry runs.
    int missed = 0;
};
