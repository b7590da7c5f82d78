// SPDX-License-Identifier: MIT
// Nudgeon: a reminder and scheduler that lives in the tray.

#include "actions/EventRunner.h"
#include "actions/NoteWindow.h"
#include "actions/RecordingLauncher.h"
#include "desktop/AwaySummary.h"
#include "desktop/FiringRecorder.h"
#include "desktop/HistoryWindow.h"
#include "desktop/MakerLinks.h"
#include "desktop/NoTrayNotice.h"
#include "desktop/NoteNotifier.h"
#include "desktop/NoteRecorder.h"
#include "desktop/TrayHostWatcher.h"
#include "desktop/TrayIcon.h"
#include "engine/CommandLine.h"
#include "engine/HistoryLog.h"
#include "engine/RunningSchedule.h"
#include "engine/ScheduleStore.h"
#include "engine/Scheduler.h"
#include "platform/CanberraSound.h"
#include "platform/Chime.h"
#include "platform/DBusNotifications.h"
#include "platform/DesktopLauncher.h"
#include "platform/DialogFileChooser.h"
#include "platform/IniRegistryStore.h"
#include "platform/InstanceChannel.h"
#include "platform/LockFileGuard.h"
#include "platform/MessageErrorBox.h"
#include "platform/ProgramPaths.h"
#include "platform/QtClipboard.h"
#include "platform/QtClock.h"
#include "platform/Settings.h"
#include "platform/XdgAutostart.h"
#include "setup/SetupDialog.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <cstdio>

namespace {

void loadTranslation(QTranslator& translator)
{
    if (translator.load(QLocale(), QStringLiteral("nudgeon"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&translator);
}

// A command runs without the desktop: no display is needed, and a bad option never starts the
// tray program.
int runCommand(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Nudgeon"));
    QTranslator translator;
    loadTranslation(translator);
    return CommandLine::run(QCoreApplication::arguments().mid(1),
                            ProgramPaths::forExecutable(QCoreApplication::applicationFilePath()));
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (!CommandLine::startsTrayProgram(arguments))
        return runCommand(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nudgeon"));
    // No display name: the desktop would append it to every window title, which names the program
    // already ("Nudgeon Setup", "About Nudgeon").
    // The Wayland app id, the X11 window class and the notifications name the desktop file, so
    // that the desktop shows the program's name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.nudgeon.Nudgeon"));
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator translator;
    loadTranslation(translator);

    // A second copy hands over to the running one, which opens its setup dialog, and ends at
    // once: started from the applications menu, the program always leads somewhere. A second
    // copy started to uninstall opens nothing. Without a lock the program cannot tell whether it
    // is alone: it says why and ends.
    const LockFileGuard::Place place = LockFileGuard::defaultPlace();
    LockFileGuard guard(place.lockPath);
    const InstanceGuard::Claim claim = place.problem.isEmpty() ? guard.claim() : InstanceGuard::Claim::Failed;
    if (claim == InstanceGuard::Claim::HeldElsewhere) {
        if (!Settings::uninstallRequested(app.arguments().mid(1)))
            InstanceChannel::handOver(InstanceChannel::besideLock(place.lockPath));
        return 0;
    }
    if (claim == InstanceGuard::Claim::Failed) {
        const QString message = QCoreApplication::translate("main", "Nudgeon cannot start: %1")
                                    .arg(place.problem.isEmpty() ? guard.failure() : place.problem);
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
        MessageErrorBox().showError(message);
        return 1;
    }
    QApplication::setWindowIcon(TrayIcon::mainIcon());

    const ProgramPaths paths = ProgramPaths::forExecutable(QApplication::applicationFilePath());
    // The sounds and the help page lie beside the program, or where an install put them.
    const QString programDir = QApplication::applicationDirPath() + QLatin1Char('/');
    const QStringList dataDirs{programDir, QDir::cleanPath(programDir + QStringLiteral("../share/nudgeon")) +
                                               QLatin1Char('/')};
    QtClock clock;
    CanberraSound sound(dataDirs);
    MessageErrorBox errors;
    IniRegistryStore store;
    XdgAutostart autostart(paths.programPath);
    Settings settings(store, autostart, errors, paths.programPath);
    // Started as the uninstall entry's command: the entry goes and the program ends.
    if (Settings::uninstallRequested(app.arguments().mid(1))) {
        settings.removeUninstallEntry();
        return 0;
    }
    DesktopLauncher launcher;
    QtClipboard clipboard;
    DialogFileChooser files;
    Chime chime(sound, clock, settings);

    MakerLinks links(launcher, QStringList{paths.pgmDir} + dataDirs);

    ScheduleStore scheduleFile(paths.pgmDir, settings, errors);
    Scheduler scheduler(Platform{clock, sound, errors, settings}, scheduleFile);
    scheduler.setFirstStartHook([&links] { links.showAbout(); });
    QObject::connect(&scheduler, &Scheduler::hourStarted, &app, [&chime] { chime.strikeHour(); });
    // How long the program waits for a tray before it tells the user it runs without one: at
    // log-on the panel often starts well after the programs started with it.
    const bool atLogOn = app.arguments().contains(QStringLiteral("--autostart"));
    TrayHostWatcher hostWatcher(atLogOn ? 30000 : 5000);
    TrayIcon tray(links, hostWatcher.hostFound());
    QObject::connect(&hostWatcher, &TrayHostWatcher::hostAppeared, &app, [&tray] { tray.hostAppeared(); });
    QObject::connect(&scheduler, &Scheduler::started, &app, [&tray, &scheduler](const QString& tip) {
        tray.add(tip);
        tray.showNext(scheduler.nextText());
    });
    QObject::connect(&scheduler, &Scheduler::statusChanged, &app, [&tray, &scheduler](const QString& tip) {
        tray.modify(tip);
        tray.showNext(scheduler.nextText());
    });
    QObject::connect(&scheduler, &Scheduler::closedDown, &app, [&tray] { tray.remove(); });
    QObject::connect(tray.closeItem(), &QAction::triggered, &scheduler, &Scheduler::closeDown);
    NoteWindow noteWindow(errors);
    QObject::connect(&noteWindow, &NoteWindow::snoozeRequested, &scheduler, &Scheduler::snooze);
    QObject::connect(&scheduler, &Scheduler::closedDown, &noteWindow, &NoteWindow::closeAll);
    DBusNotifications notifications(TrayIcon::mainIcon().pixmap(48).toImage());
    NoteNotifier noteNotifier(noteWindow, notifications, store,
                              {[&noteWindow](const QString& path) {
                                   if (noteWindow.shownFile() == path) {
                                       noteWindow.raise();
                                       noteWindow.activateWindow();
                                   }
                               },
                               [&noteWindow](const QString& path, const QString& line, int minutes) {
                                   noteWindow.snoozeNote(path, line, minutes);
                               }});
    // Every launch for an entry goes to the history; a failure is told at once and marks the
    // tray until the user opens the history.
    HistoryLog history;
    FiringRecorder recorder(history, notifications);
    QPointer<HistoryWindow> historyWindow;
    const auto openHistory = [&history, &recorder, &historyWindow] {
        if (!historyWindow) {
            historyWindow = new HistoryWindow(history);
            historyWindow->setAttribute(Qt::WA_DeleteOnClose);
        } else {
            historyWindow->refresh();
        }
        historyWindow->show();
        historyWindow->raise();
        historyWindow->activateWindow();
        recorder.markSeen();
    };
    QObject::connect(tray.historyItem(), &QAction::triggered, &app, openHistory);
    QObject::connect(&recorder, &FiringRecorder::historyRequested, &app, openHistory);
    QObject::connect(&recorder, &FiringRecorder::unseenFailuresChanged, &app,
                     [&tray, &recorder] { tray.setFailureMark(recorder.tipMark()); });
    const QString mailProgram = helperProgram(QApplication::applicationFilePath(), Entry::mailProgram);
    RecordingLauncher runnerLauncher(launcher, clock, mailProgram,
                                     [&recorder](const Firing& firing) { recorder.record(firing); });
    EventRunner runner({runnerLauncher, clipboard, sound, clock, errors, chime, paths.pgmDir, mailProgram},
                       noteNotifier);
    // Each note shown goes to the history, and then whether it was closed or snoozed.
    NoteRecorder noteRecorder(clock, [&recorder](const Firing& firing) { recorder.record(firing); });
    const auto carryOut = [&runner, &runnerLauncher, &noteRecorder](const DueEntry& entry) {
        runnerLauncher.setEntry(entry);
        if (runner.run(entry).note == RunOutcome::Note::Shown)
            noteRecorder.shown(entry);
    };
    QObject::connect(&scheduler, &Scheduler::due, &noteWindow, carryOut);
    QObject::connect(
        &scheduler, &Scheduler::snoozed, &app,
        [&noteRecorder](const QString& line, const QDateTime& until) { noteRecorder.snoozed(line, until); });
    QObject::connect(&noteWindow, &NoteWindow::noteClosed, &noteWindow,
                     [&noteNotifier, &noteRecorder](const QString& path, const QString& line) {
                         noteNotifier.noteClosed(path, line);
                         noteRecorder.closed(line);
                     });
    // What a sleep passed over goes to the history, and one summary tells the user; a missed
    // note opens as a late one.
    AwaySummary away(notifications, [&carryOut](const DueEntry& missed) {
        carryOut(DueEntry{missed.entry, missed.due, true});
    });
    QObject::connect(&scheduler, &Scheduler::passedOver, &app,
                     [&recorder, &away, &clock, &noteWindow](const QList<DueEntry>& passed) {
                         for (const Firing& firing : AwaySummary::firingsOf(passed, clock.now()))
                             recorder.record(firing);
                         away.tell(passed, clock.now());
                         // A note that shows stays above the summary.
                         if (noteWindow.isVisible())
                             noteWindow.raise();
                     });
    const SetupDialog::Services setupServices{
        clock, errors, files, settings, [&links] { links.openHelp(); }, paths.pgmDir};
    tray.setSetupOpener(
        [&](bool newEntriesOnly) { SetupDialog::openOn(scheduler, setupServices, newEntriesOnly); });
    // Opens the setup dialog once the caller's own event is done, or brings an open one forward.
    const auto openSetup = [&app, &tray] {
        QMetaObject::invokeMethod(
            &app,
            [&tray] {
                if (QWidget* open = QApplication::activeModalWidget()) {
                    open->raise();
                    open->activateWindow();
                } else {
                    tray.openSetup(false);
                }
            },
            Qt::QueuedConnection);
    };
    NoTrayNotice noTray(notifications, openSetup);
    QObject::connect(&hostWatcher, &TrayHostWatcher::noHostYet, &app, [&noTray] { noTray.tell(); });
    QObject::connect(&hostWatcher, &TrayHostWatcher::hostAppeared, &app, [&noTray] { noTray.withdraw(); });
    InstanceChannel channel(InstanceChannel::besideLock(place.lockPath));
    channel.listen();
    QObject::connect(&channel, &InstanceChannel::startedAgain, &app, openSetup);
    // The command line's requests work on this copy's engine, as the setup dialog does.
    RunningSchedule running(
        scheduler, clock, paths.pgmDir, [&noteWindow](const QString& noteFile, int minutes) {
            const QString shown = noteWindow.shownFile();
            if (shown.isEmpty() || namePart(shown) != noteFile)
                return std::optional<QString>(
                    QCoreApplication::translate("main", "The note %1 is not shown now.").arg(noteFile));
            noteWindow.snoozeNote(shown, noteWindow.shownEntry(), minutes);
            return std::optional<QString>();
        });
    channel.setAnswerer([&running](const InstanceChannel::Request& request) {
        return CommandLine::encode(CommandLine::answer(request, running));
    });
    QObject::connect(&scheduler, &Scheduler::closedDown, &app, &SetupDialog::closeOpen);
    QObject::connect(&scheduler, &Scheduler::closedDown, &app, &QApplication::quit, Qt::QueuedConnection);

    scheduler.start();
    if (scheduler.isClosed())
        return 0;
    // A store set aside or refused is told of once the icon is up, from the event loop.
    store.tellProblems([&errors](const QString& message) {
        QTimer::singleShot(0, [&errors, message] { errors.showError(message); });
    });
    return QApplication::exec();
}
