// Nudgeon: a reminder and scheduler that lives in the tray.

#include "CanberraSound.h"
#include "DesktopLauncher.h"
#include "DialogFileChooser.h"
#include "EventRunner.h"
#include "IniRegistryStore.h"
#include "LockFileGuard.h"
#include "MakerLinks.h"
#include "MessageErrorBox.h"
#include "NoteWindow.h"
#include "ProgramPaths.h"
#include "QtClipboard.h"
#include "QtClock.h"
#include "ScheduleState.h"
#include "Settings.h"
#include "SetupDialog.h"
#include "Timer.h"
#include "TrayIcon.h"
#include "XdgAutostart.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nudgeon"));
    QApplication::setApplicationDisplayName(QStringLiteral("Nudgeon"));
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("nudgeon"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QApplication::installTranslator(&translator);

    // A second copy ends at once and leaves the running one alone.
    LockFileGuard guard;
    if (!guard.claim())
        return 0;
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

    TTimerForm TimerForm(Platform{clock, sound, errors, settings}, schedule, paths);
    TimerForm.setFirstStartHook([&links] { links.AboutUs(); });
    TrayIcon tray(TimerForm, links);
    TimerForm.setTray(&tray);
    NoteWindow MemoForm(TimerForm, errors);
    EventRunner runner(TimerForm,
                       {launcher, clipboard, sound, clock, errors,
                        helperProgram(QApplication::applicationFilePath(), EventRunner::mailProgram)},
                       MemoForm);
    TimerForm.setActions(&runner);
    const SetupDialog::Services setupServices{clock, errors, files, settings, [&links] {
                                                  links.HelpIt();
                                              }};
    tray.setSetupOpener([&] { SetupDialog::openOn(TimerForm, setupServices); });
    QObject::connect(&TimerForm, &TTimerForm::closedDown, &app, &QApplication::quit, Qt::QueuedConnection);

    TimerForm.TimeInit();
    if (TimerForm.isClosed())
        return 0;
    // A store set aside is told of once the icon is up, from the event loop.
    store.tellSetAside([&errors](const QString& aside) {
        QTimer::singleShot(0,
                           [&errors, aside] { errors.showError(IniRegistryStore::setAsideMessage(aside)); });
    });
    return QApplication::exec();
}
