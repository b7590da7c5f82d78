// SPDX-License-Identifier: MIT
// Nudgeon: a reminder and scheduler that lives in the tray.

#include "CanberraSound.h"
#include "DBusNotifications.h"
#include "DesktopLauncher.h"
#include "DialogFileChooser.h"
#include "EventRunner.h"
#include "FiringRecorder.h"
#include "HistoryLog.h"
#include "HistoryWindow.h"
#include "IniRegistryStore.h"
#include "InstanceChannel.h"
#include "LockFileGuard.h"
#include "MakerLinks.h"
#include "MessageErrorBox.h"
#include "NoTrayNotice.h"
#include "NoteNotifier.h"
#include "NoteWindow.h"
#include "ProgramPaths.h"
#include "QtClipboard.h"
#include "QtClock.h"
#include "RecordingLauncher.h"
#include "ScheduleState.h"
#include "Scheduler.h"
#include "Settings.h"
#include "SetupDialog.h"
#include "TrayHostWatcher.h"
#include "TrayIcon.h"
#include "XdgAutostart.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nudgeon"));
    // No display name: the desktop would append it to every window title, which names the program
    // already ("Nudgeon Setup", "About Nudgeon").
    // The Wayland app id, the X11 window class and the notifications name the desktop file, so
    // that the desktop shows the program's name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.nudgeon.Nudgeon"));
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("nudgeon"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QApplication::installTranslator(&translator);

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
    ScheduleState schedule;

    MakerLinks links(launcher, QStringList{paths.pgmDir} + dataDirs);

    Scheduler TimerForm(Platform{clock, sound, errors, settings}, schedule, paths);
    TimerForm.setFirstStartHook([&links] { links.AboutUs(); });
    // How long the program waits for a tray before it tells the user it runs without one: at
    // log-on the panel often starts well after the programs started with it.
    const bool atLogOn = app.arguments().contains(QStringLiteral("--autostart"));
    TrayHostWatcher hostWatcher(atLogOn ? 30000 : 5000);
    TrayIcon tray(TimerForm, links, hostWatcher.hostFound());
    QObject::connect(&hostWatcher, &TrayHostWatcher::hostAppeared, &app, [&tray] { tray.hostAppeared(); });
    TimerForm.setTray(&tray);
    NoteWindow MemoForm(TimerForm, errors);
    DBusNotifications notifications(TrayIcon::mainIcon().pixmap(48).toImage());
    NoteNotifier noteNotifier(MemoForm, notifications, store,
                              {[&MemoForm](const QString& path) {
                                   if (MemoForm.shownFile() == path) {
                                       MemoForm.raise();
                                       MemoForm.activateWindow();
                                   }
                               },
                               [&MemoForm](const QString& path, const QString& line, int minutes) {
                                   MemoForm.snoozeNote(path, line, minutes);
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
    const QString mailProgram = helperProgram(QApplication::applicationFilePath(), EventRunner::mailProgram);
    RecordingLauncher runnerLauncher(launcher, clock, mailProgram,
                                     [&recorder](const Firing& firing) { recorder.record(firing); });
    EventRunner runner(TimerForm, {runnerLauncher, clipboard, sound, clock, errors, mailProgram},
                       noteNotifier);
    QObject::connect(&TimerForm, &Scheduler::due, &MemoForm,
                     [&runner, &runnerLauncher](const DueEntry& entry) {
                         runnerLauncher.setEntry(entry);
                         runner.run(entry);
                     });
    QObject::connect(
        &MemoForm, &NoteWindow::noteClosed, &MemoForm,
        [&noteNotifier](const QString& path, const QString& line) { noteNotifier.noteClosed(path, line); });
    const SetupDialog::Services setupServices{clock, errors, files, settings, [&links] {
                                                  links.HelpIt();
                                              }};
    tray.setSetupOpener([&] { SetupDialog::openOn(TimerForm, setupServices); });
    // Opens the setup dialog once the caller's own event is done, or brings an open one forward.
    const auto openSetup = [&app, &tray] {
        QMetaObject::invokeMethod(
            &app,
            [&tray] {
                if (QWidget* open = QApplication::activeModalWidget()) {
                    open->raise();
                    open->activateWindow();
                } else {
                    tray.SetupClick(false);
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
    QObject::connect(&TimerForm, &Scheduler::closedDown, &app, &QApplication::quit, Qt::QueuedConnection);

    TimerForm.TimeInit();
    if (TimerForm.isClosed())
        return 0;
    // A store set aside or refused is told of once the icon is up, from the event loop.
    store.tellProblems([&errors](const QString& message) {
        QTimer::singleShot(0, [&errors, message] { errors.showError(message); });
    });
    return QApplication::exec();
}
