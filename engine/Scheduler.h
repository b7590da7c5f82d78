// SPDX-License-Identifier: MIT
#pragma once
// The engine: times the entries of the schedule and reports each as it falls due, the status
// text, snoozes, catching up after a sleep.

#include "engine/DueEntry.h"
#include "engine/ScheduleSource.h"
#include "platform/Platform.h"
#include "schedule/Recurrence.h"

#include <QStringList>
#include <QTimer>
#include <functional>
#include <limits>
#include <optional>

class ScheduleStore;

class Scheduler : public ScheduleSource
{
    Q_OBJECT

public:
    Scheduler(const Platform& platform, ScheduleStore& store, QObject* parent = nullptr);
    ~Scheduler() override;

    // Called at a first start, before the first-start entry is made.
    void setFirstStartHook(std::function<void()> hook) { firstStartHook = std::move(hook); }

    // Brings the engine up: schedule, snoozes, next entry, start sound, the watch on the file.
    void start();
    // Runs what fell due since the last tick and sets the next one; the timer calls it.
    void tick();
    void refreshStatus() override;
    // Writes the schedule file; false when it could not be written (the user was told).
    bool saveSchedule();
    bool reloadIfChanged() override;
    // Makes the schedule the given lines. An entry whose line is unchanged keeps what it ran,
    // its snooze and its series wherever its line moved; a snooze follows its note too.
    void replaceEntries(const QStringList& lines);
    bool applyEdits(const QStringList& lines) override;
    // Puts off a shown note: its entry (the line, or else the first whose note reference names
    // the note) falls due again the given minutes from now, once. Kept across a restart.
    void snooze(const QString& line, const QString& noteName, int minutes);
    // Ends the program: releases the schedule and stops the engine.
    void closeDown();

    int interval() const { return timer.interval(); }
    bool isTicking() const { return timer.isActive(); }
    Qt::TimerType timerType() const { return timer.timerType(); }

    // The status text of the tray tip.
    QString status() const { return statusText; }
    QList<Entry> entries() const override;
    // The entry due next today and its time; nothing when none is.
    std::optional<DueEntry> nextDue() const;
    // The day the series of the entry of this line starts on; today when there is none such.
    QDate anchorOf(const QString& line) const;
    // The entry due next as a menu shows it: its time and the time left.
    QString nextText() const { return nextDueText; }
    QString nextLine() const override;
    bool isDueToday(const QString& line) const override;
    QString lastNote() const override { return lastNoteName; }
    bool isClosed() const override { return closed; }

    // A tick that comes at most this many minutes after the last runs what it passed over.
    static constexpr int CatchUpMinutes = 10;

signals:
    // The engine is up with its schedule: the tray icon may show, with this status text.
    void started(const QString& status);
    // The status text changed with a tick or a reload.
    void statusChanged(const QString& status);
    // An entry fell due and should be carried out.
    void due(const DueEntry& entry);
    // A gap longer than the catch-up window passed these occurrences over, oldest first. Those
    // marked late had their note shown late; nothing else of them ran, nor any of the rest.
    void passedOver(const QList<DueEntry>& occurrences);
    // The note of the entry of this line comes back at until.
    void snoozed(const QString& line, const QDateTime& until);
    // A new hour of the clock began.
    void hourStarted();
    // The program has been closed and its event loop should end.
    void closedDown();

private:
    struct Scheduled
    {
        Entry entry;
        Recurrence rule;
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

    Scheduled makeScheduled(const QString& line, const QDate& anchor) const;
    // The schedule of a first start: one entry, nothing written.
    void startFresh();
    // Takes the file's lines as the schedule, as the setup dialog's are, and ticks again soon.
    void reload();
    // Shows the message once the event loop runs; nothing when it is empty.
    void tellLater(const QString& problem);
    void loadSnoozes(const QDateTime& now);
    void storeSnooze(const Scheduled& s);
    void dropSnooze(Scheduled& s);
    void setScheduled(const QList<Scheduled>& list);
    // Sets the timer's interval; the same interval lets the running period go on.
    void setInterval(int ms);
    // Makes this the day the clock is on: its start, end and offset.
    void setToday(const QDate& today);
    // Takes a new time zone of the system at once: the day's clock is worked out again, and what
    // ran keeps its time of the clock. Snoozes and the last tick are instants and stay.
    void followZone(const QDateTime& now);
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
    ScheduleStore& store;
    std::function<void()> firstStartHook;
    QTimer timer;
    QString statusText;
    QString nextDueText;
    QString lastNoteName;
    bool closed = false;
    // The entries in the schedule's order.
    QList<Scheduled> scheduled;
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
    // The zone as last seen: its name, and its offset at an instant it was seen at. The same
    // zone never changes the offset of an instant already seen, whatever its clock does later.
    struct ZoneSeen
    {
        QByteArray id;
        qint64 at = NoTime;
        int offset = 0;
    } zoneSeen;
    // The hour (days * 24 + hour) last chimed, so that a second tick in minute 0 stays silent.
    qint64 chimedHour = -1;
    // Entries missed while the computer slept, told in the tip until the next entry runs.
    int missed = 0;
};
