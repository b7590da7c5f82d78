// SPDX-License-Identifier: MIT
// Benchmarks of the engine's hot paths on a full schedule of 30 entries: the choice of the
// next entry, a day's occurrences of a line, a tick that runs nothing, the first tick of a new day,
// start-up's reading of the schedule file, the setup dialog's hand-back of one changed line
// and the composing of a line.
//
// The engine runs on the fakes of tests/support/Fakes.h, with a tray and a sound that only
// count, and with every due entry counted: a benchmark in which an entry ran
// reports an error instead of a figure. Every schedule file lives in a temporary folder that
// is removed when its benchmark ends.

#include "tests/support/Fakes.h"

#include "engine/ScheduleStore.h"
#include "engine/Scheduler.h"
#include "platform/QtClock.h"
#include "schedule/EventLine.h"
#include "schedule/Recurrence.h"
#include "schedule/ScheduleFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

// Keeps a result from being optimised away. Only the read-only form of DoNotOptimize: with
// GCC, the library's read-write form ("+m,r") can be compiled so that the variable holds
// garbage afterwards.
template <class T> void keep(const T& value)
{
    benchmark::DoNotOptimize(value);
}

// 2026-12-07 is a Monday; at 09:01 no entry of the schedule is due.
const QDate benchDay(2026, 12, 7);
const QTime idleTime(9, 1, 30);

// A tray view that keeps the last tip, as the real icon does, and counts the refreshes.
class NullTray
{
public:
    void add(const QString& text)
    {
        tip = text;
        shown = true;
    }
    void modify(const QString& text)
    {
        ++modifies;
        if (shown && tip != text)
            tip = text;
    }
    void remove() { shown = false; }
    QString tip;
    bool shown = false;
    long long modifies = 0;
};

class NullSound : public Sound
{
public:
    void play(const QString&) override { ++plays; }
    void beep() override { ++beeps; }
    long long plays = 0;
    long long beeps = 0;
};

// The 30 lines of a full schedule as the setup dialog composes and sorts them: entries once a
// day, every 30 minutes, every 2 hours, on working days, on one day of the month and at the
// weekend; every third one with a note. The first starts at firstStart, the others follow
// 29 minutes apart (round the clock when they pass midnight).
QStringList fullSchedule(const QTime& firstStart = QTime(6, 10))
{
    QStringList lines;
    for (int i = 0; i < MaxEvents; ++i) {
        EventInput in;
        in.start = firstStart.addSecs(i * 29 * 60);
        switch (i % 6) {
        case 0:
            in.kind = RepeatKind::Daily;
            in.program = QStringLiteral("/usr/local/bin/backup-home");
            in.parameters = QStringLiteral("--quiet --log /var/tmp/backup-mm-dd-yy.log");
            break;
        case 1:
            in.kind = RepeatKind::Daily;
            in.repeatValue = 30;
            in.program = QStringLiteral("stretch.wav");
            break;
        case 2:
            in.kind = RepeatKind::Daily;
            in.hours = true;
            in.repeatValue = 2;
            in.program = QStringLiteral("/usr/bin/notify-send");
            in.parameters = QStringLiteral("\"Drink some water\"");
            break;
        case 3:
            in.kind = RepeatKind::Weekly;
            in.weekdays = {true, true, true, true, true, false, false};
            in.program = QStringLiteral("/usr/bin/xdg-open");
            in.parameters = QStringLiteral("https://intranet.example.org/standup");
            break;
        case 4:
            in.kind = RepeatKind::Monthly;
            in.repeatValue = 15;
            in.program = QStringLiteral("/home/user/bin/pay-rent.sh");
            break;
        case 5:
            in.kind = RepeatKind::Weekly;
            in.weekdays = {false, false, false, false, false, true, true};
            break;
        }
        if (i % 3 == 2) {
            in.hasNote = true;
            in.noteFile = QStringLiteral("/home/user/.local/share/nudgeon/%1%2.txt")
                              .arg(341 + i)
                              .arg(in.start.toString(QStringLiteral("HHmm")));
        }
        lines.append(composeEventLine(in));
    }
    // The setup dialog's list sorts its lines by their text.
    std::sort(lines.begin(), lines.end());
    return lines;
}

// An engine on fakes, its program folder a temporary folder that holds the schedule file.
struct Engine
{
    explicit Engine(const QStringList& lines, Clock* realClock = nullptr)
        : dir(QDir::tempPath() + QStringLiteral("/nudgeon-bench-XXXXXX"))
    {
        clock.set(benchDay, idleTime);
        // The settings entry exists, so start-up reads it and writes nothing; the chime is off.
        store.values[Settings::uninstallKey + QStringLiteral("|Settings")] = Settings::toText({false, false});
        ok = dir.isValid() && writeScheduleLines(cfgPath(), lines);
        scheduleStore = std::make_unique<ScheduleStore>(dir.path() + QLatin1Char('/'), settings, errors);
        form = std::make_unique<Scheduler>(Platform{realClock ? *realClock : clock, sound, errors, settings},
                                           *scheduleStore);
        QObject::connect(form.get(), &Scheduler::started, [this](const QString& tip) { tray.add(tip); });
        QObject::connect(form.get(), &Scheduler::statusChanged,
                         [this](const QString& tip) { tray.modify(tip); });
        QObject::connect(form.get(), &Scheduler::due, [this](const DueEntry&) { ++runs; });
        form->setFirstStartHook([this] { ok = false; });
    }

    QStringList lines() const
    {
        QStringList list;
        for (const Entry& entry : form->entries())
            list.append(entry.line());
        return list;
    }

    QString cfgPath() const { return dir.filePath(QStringLiteral("Nudgeon.cfg")); }

    // Starts the engine as the program does and checks that it holds the whole schedule.
    bool start()
    {
        form->start();
        return ok && form->entries().size() == MaxEvents;
    }

    // Reports an error in place of the figure when the engine ran an entry or showed a note,
    // or failed to start on the whole schedule.
    void check(benchmark::State& bench) const
    {
        if (!ok)
            bench.SkipWithError("the engine did not start on the 30-line schedule file");
        else if (runs != 0)
            bench.SkipWithError("an entry ran: the benchmark must measure a tick that runs nothing");
        else if (!errors.messages.isEmpty())
            bench.SkipWithError(errors.messages.first().toUtf8().constData());
    }

    QTemporaryDir dir;
    FakeClock clock;
    NullSound sound;
    FakeErrorBox errors;
    MemoryStore store;
    FakeAutostart autostart;
    Settings settings{store, autostart, errors, QStringLiteral("/opt/Nudgeon/nudgeon")};
    NullTray tray;
    // The entries that fell due; a benchmark must see none.
    long long runs = 0;
    std::unique_ptr<ScheduleStore> scheduleStore;
    std::unique_ptr<Scheduler> form;
    bool ok = false;
};

void BM_RefreshStatus(benchmark::State& bench)
{
    Engine e(fullSchedule());
    e.ok = e.start();
    for (auto _ : bench) {
        e.form->refreshStatus();
        keep(e.form->status());
    }
    if (e.form->status() == QLatin1String("Running..."))
        e.ok = false;
    e.check(bench);
}
BENCHMARK(BM_RefreshStatus);

// A day's occurrences of each of the 30 lines in turn, as a day passed over is looked through.
void BM_Recurrence_On(benchmark::State& bench)
{
    Engine e(fullSchedule());
    e.ok = e.start();
    std::vector<Recurrence> rules;
    for (const QString& line : e.lines())
        rules.emplace_back(line, benchDay);
    // The day's clock is worked out once for all lines, as the engine does.
    const Recurrence::Day day = Recurrence::Day::of(benchDay);
    size_t i = 0;
    for (auto _ : bench) {
        keep(rules[i].instantsOn(day));
        i = i + 1 == rules.size() ? 0 : i + 1;
    }
    e.check(bench);
}
BENCHMARK(BM_Recurrence_On);

// The minute tick at 09:01 on a Monday, when nothing is due: the next entry is chosen, the
// tray's tip refreshed and the timer left at its minute.
void BM_Tick_NothingDue(benchmark::State& bench)
{
    Engine e(fullSchedule());
    e.ok = e.start();
    e.form->tick(); // the first tick sets the timer to its minute
    for (auto _ : bench)
        e.form->tick();
    // A tick that ran nothing waits for the next minute, not the 2 s of a tick after a run.
    if (e.form->interval() <= 2000 || e.tray.modifies == 0)
        e.ok = false;
    e.check(bench);
}
BENCHMARK(BM_Tick_NothingDue);

// The same tick on the program's own clock, which reads the local time at every tick. The
// schedule starts an hour from now, so that nothing falls due while it runs.
void BM_Tick_NothingDue_QtClock(benchmark::State& bench)
{
    QtClock realClock;
    Engine e(fullSchedule(QTime::currentTime().addSecs(3600)), &realClock);
    e.ok = e.start();
    e.form->tick();
    for (auto _ : bench)
        e.form->tick();
    e.check(bench);
}
BENCHMARK(BM_Tick_NothingDue_QtClock);

// What the program's clock costs on its own: the local date and time now.
void BM_QtClock_now(benchmark::State& bench)
{
    QtClock realClock;
    for (auto _ : bench) {
        QDateTime now = realClock.now();
        keep(now);
    }
}
BENCHMARK(BM_QtClock_now);

// The first tick of a new day, five seconds after midnight, a minute after the last tick of
// the day before (not measured): the new day's clock is worked out, the minute before midnight
// looked at and the day's first occurrence found. Round a cycle of 1024 days prepared beforehand.
void BM_Tick_NewDay(benchmark::State& bench)
{
    Engine e(fullSchedule());
    e.ok = e.start();
    std::vector<std::pair<QDateTime, QDateTime>> midnights;
    for (int d = 1; d <= 1024; ++d)
        midnights.emplace_back(QDateTime(benchDay.addDays(d - 1), QTime(23, 59, 5)),
                               QDateTime(benchDay.addDays(d), QTime(0, 0, 5)));
    size_t d = 0;
    for (auto _ : bench) {
        // The day before's last tick comes after a gap and shows that day's notes late: only
        // the tick measured must run nothing.
        bench.PauseTiming();
        e.clock.current = midnights[d].first;
        e.form->tick();
        e.runs = 0;
        bench.ResumeTiming();
        e.clock.current = midnights[d].second;
        e.form->tick();
        d = (d + 1) & 1023;
    }
    e.check(bench);
}
BENCHMARK(BM_Tick_NewDay);

// The first tick of a new day, five seconds after midnight, a day after the tick before (a
// computer that slept): the day passed over is looked through for notes and missed entries
// and the new day's first occurrence found. Each tick is on the day after the one before, round a
// cycle of 1024 days prepared beforehand.
void BM_Tick_NewDayAfterSleep(benchmark::State& bench)
{
    Engine e(fullSchedule());
    e.ok = e.start();
    std::vector<QDateTime> midnights;
    for (int d = 1; d <= 1024; ++d)
        midnights.emplace_back(benchDay.addDays(d), QTime(0, 0, 5));
    size_t d = 0;
    for (auto _ : bench) {
        e.clock.current = midnights[d];
        e.form->tick();
        d = (d + 1) & 1023;
    }
    // The day passed over really was looked through: its entries are told as missed.
    if (!e.form->status().contains(QLatin1String("missed")))
        e.ok = false;
    e.check(bench);
}
BENCHMARK(BM_Tick_NewDayAfterSleep);

// Start-up on a 30-line schedule file: the settings, the file read line by line, each line
// taken apart and its time parsed, the next entry, the tray icon and the start sound.
void BM_Start_30Lines(benchmark::State& bench)
{
    Engine e(fullSchedule());
    e.ok = e.start();
    for (auto _ : bench) {
        e.form->start();
        keep(e.form->status());
    }
    if (e.form->entries().size() != MaxEvents)
        e.ok = false;
    e.check(bench);
}
BENCHMARK(BM_Start_30Lines)->Unit(benchmark::kMicrosecond);

// Reading the 30 lines of the schedule file alone.
void BM_ReadScheduleLines_30(benchmark::State& bench)
{
    Engine e(fullSchedule());
    const QString path = e.cfgPath();
    qsizetype count = 0;
    for (auto _ : bench) {
        const QStringList lines = readScheduleLines(path, MaxEvents);
        count = lines.size();
        keep(count);
    }
    if (count != MaxEvents) {
        const std::string message =
            "the schedule file read back as " + std::to_string(count) + " lines, not 30";
        bench.SkipWithError(message.c_str());
    }
    e.check(bench);
}
BENCHMARK(BM_ReadScheduleLines_30)->Unit(benchmark::kMicrosecond);

// Hands the engine the two lists in turn, as saves from the setup dialog would, and checks that
// the last one handed over is the engine's.
void flipSchedule(benchmark::State& bench, Engine& e, const QStringList& before, const QStringList& after)
{
    bool flip = false;
    for (auto _ : bench) {
        e.form->replaceEntries(flip ? before : after);
        flip = !flip;
    }
    if (e.form->entries().size() != MaxEvents || e.lines() != (flip ? after : before))
        e.ok = false;
    e.check(bench);
}

// The setup dialog's hand-back after one line was edited in its place: each call changes the
// schedule back and forth between the two lists, one changed line apart.
void BM_ReplaceEntries_OneLineEdited(benchmark::State& bench)
{
    Engine e(fullSchedule());
    e.ok = e.start();
    const QStringList before = e.lines();
    QStringList after = before;
    after[12] = after[12] + QStringLiteral(" --edited");
    flipSchedule(bench, e, before, after);
}
BENCHMARK(BM_ReplaceEntries_OneLineEdited);

// The same after a line's time was changed so that it sorts about 15 places later: the lines
// in between move up one place and carry their states along.
void BM_ReplaceEntries_OneLineMoved(benchmark::State& bench)
{
    Engine e(fullSchedule());
    e.ok = e.start();
    const QStringList before = e.lines();
    // Line 6 takes the time of line 21 and keeps the rest of its text.
    QStringList after = before;
    const QString moved = after.takeAt(5);
    const QString laterTime = before.at(20).left(before.at(20).indexOf(QLatin1Char(',')));
    after.append(laterTime + moved.mid(moved.indexOf(QLatin1Char(','))));
    std::sort(after.begin(), after.end());
    if (after.indexOf(laterTime + moved.mid(moved.indexOf(QLatin1Char(',')))) < 15)
        e.ok = false;
    flipSchedule(bench, e, before, after);
}
BENCHMARK(BM_ReplaceEntries_OneLineMoved);

// Composing a line from the editor's controls: a weekly entry with parameters and a note.
void BM_ComposeEventLine(benchmark::State& bench)
{
    EventInput in;
    in.start = QTime(14, 35);
    in.program = QStringLiteral("/usr/bin/notify-send");
    in.kind = RepeatKind::Weekly;
    in.weekdays = {true, false, true, false, true, false, false};
    in.parameters = QStringLiteral("\"Team call\" --urgency=normal");
    in.hasNote = true;
    in.noteFile = QStringLiteral("/home/user/.local/share/nudgeon/3411435.txt");
    for (auto _ : bench) {
        QString line = composeEventLine(in);
        keep(line);
    }
}
BENCHMARK(BM_ComposeEventLine);

// The first start-up in a process pays once for what later ones find made: the time pattern's
// compilation, the locale, the first file access. Measured once, before the benchmarks.
double firstStartMicroseconds()
{
    Engine e(fullSchedule());
    const auto begin = std::chrono::steady_clock::now();
    const bool started = e.start();
    const auto end = std::chrono::steady_clock::now();
    if (!started)
        return -1;
    return std::chrono::duration<double, std::micro>(end - begin).count();
}

} // namespace

int main(int argc, char** argv)
{
    // The engine's timer needs the event dispatcher of an application object.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("nudgeon_build_type", NUDGEON_BUILD_TYPE);
    benchmark::AddCustomContext("qt_version", qVersion());
    const double first = firstStartMicroseconds();
    benchmark::AddCustomContext("first_start_in_process_us",
                                first < 0 ? std::string("failed") : std::to_string(first));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return first < 0 ? 1 : 0;
}
