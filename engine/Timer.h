#pragma once
// The engine: start-up, the choice of the next due entry, the minute tick and the chime.

#include "Platform.h"
#include "ProgramPaths.h"
#include "ScheduleState.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class EventActions;
class ScheduleGuard;
class ScheduleWatcher;
class TrayView;

class TTimerForm : public QObject
{
    Q_OBJECT

public:
    TTimerForm(const Platform& platform, ScheduleState& state, const ProgramPaths& paths,
               QObject* parent = nullptr);
    ~TTimerForm() override;

    void setTray(TrayView* tray) { trayView = tray; }
    void setActions(EventActions* eventActions) { actions = eventActions; }
    // Called at a first start, before the first-start entry is made.
    void setFirstStartHook(std::function<void()> hook) { firstStartHook = std::move(hook); }

    // Brings the engine up: settings, schedule, next entry, tray icon, start sound.
    void TimeInit();
    // The tick.
    void DoTime();
    // Chooses the entry due next and writes the status text.
    void NextTime();
    // The same for a time already read from the clock.
    void NextTime(const QDateTime& now);
    // Takes WorkLine apart and evaluates its repeat rule for today.
    void ThisEvent();
    // Moves the due time of the entry in place NextEvent on by its repeat interval.
    void RerunTime();
    // A beep, a short pause and, when the chime is on, the chime sound.
    void ChimeTime();
    // Runs the entry in place NextEvent and hands it back to the schedule.
    void RunIt();
    // Writes EventList to the schedule file; tells the user and gives false when it could not, or
    // when the file changed on disk since it was last read or written (it is read again instead).
    bool WriteCfgFile();
    // Reads the schedule file again when it changed on disk since the program last read or
    // wrote it; true when it did. Nothing is written back.
    bool reloadIfChanged();
    // Takes these lines as the schedule, carrying the state of every line that stays.
    void reloadLines(const QStringList& lines);
    // The schedule of a first start: one entry, nothing written.
    void NewConfig();
    // Puts off the entry whose note reference names noteName: due again the given minutes
    // from now, never earlier than it was, and due at least once more today.
    void Snooze(const QString& noteName, int minutes);
    // Ends the program: releases the schedule, removes the tray icon, stops the engine.
    void CloseIt();
    // Removes the tray icon.
    void TimerEnd();

    // Sets the timer's interval; the same interval lets the running period go on.
    void setInterval(int ms);

    bool isClosed() const { return closed; }
    ScheduleState& state() { return s; }

    QTimer Timer1;
    // The status text shown as the tray tip.
    QString Hint;
    // -1 while the setup dialog is open or the schedule file waits to be written back.
    int Tag = 0;
    int HoursLeft = 24;
    int MinsLeft = 0;
    int NowMin = 0;
    // The setup dialog only adds new entries; kept between openings.
    bool NewMode = false;

signals:
    // The program has been closed and its event loop should end.
    void closedDown();
    // The schedule was read again from the file.
    void scheduleReloaded();

private:
    // A tick that comes after a gap of at most this many minutes runs the entries of the
    // minutes it passed over.
    static constexpr int CatchUpMinutes = 10;
    static int minuteInterval(const QDateTime& now);
    // The minute of a time as days * 1440 + minutes.
    static qint64 minuteKey(const QDateTime& now);
    void skipMissedRepeats(const QDateTime& now);
    void runPassedOver(qint64 fromMinute, const QDateTime& now);
    void loadSchedule();
    void reload();
    void renewDay(const QDate& today);
    void rerunSlot(int slot);

    Platform platform;
    ScheduleState& s;
    ProgramPaths paths;
    TrayView* trayView = nullptr;
    EventActions* actions = nullptr;
    // The places of the entries being run, innermost last: a tick while a note is shown
    // runs other entries, never one of these again.
    QList<int> runningSlots;
    // Places snoozed while they were being run: their hand-back keeps the snoozed time.
    QList<int> snoozedSlots;
    std::function<void()> firstStartHook;
    std::unique_ptr<ScheduleGuard> guard;
    std::unique_ptr<ScheduleWatcher> watcher;
    bool closed = false;
    // The day the entries' states were last evaluated for.
    QDate renewedOn;
    // The hour (days * 24 + hour) last chimed, so that a second tick in minute 0 stays silent.
    qint64 chimedHour = -1;
    // The minute (days * 1440 + minutes) of the last tick; -1 before the first.
    qint64 lastTickMinute = -1;
    // For each place, the minute (days * 1440 + minutes) its entry last began to run in.
    std::array<qint64, MaxEvents + 1> ranInMinute = [] {
        std::array<qint64, MaxEvents + 1> none{};
        none.fill(-1);
        return none;
    }();
};
