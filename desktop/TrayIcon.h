// SPDX-License-Identifier: MIT
#pragma once
// The program's icon in the tray, its tip and its menu.

#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class MakerLinks;

class TrayIcon
{
    Q_DECLARE_TR_FUNCTIONS(TrayIcon)

public:
    // Without a tray host at first, the icon is made only once hostAppeared is called.
    TrayIcon(MakerLinks& links, bool hostPresent = true);
    ~TrayIcon();

    // Puts the icon in the tray with the given tip.
    void add(const QString& tip);
    // Refreshes the icon's tip; nothing happens before the icon was added.
    void modify(const QString& tip);
    // Takes the icon out of the tray; taking it out twice is harmless.
    void remove();

    // A tray host has shown up: the icon, if added, appears in it now.
    void hostAppeared();
    // The menu's first line: what is due next; none when empty.
    void showNext(const QString& text);

    // What opens the setup dialog, for new entries only or on the whole schedule.
    void setSetupOpener(std::function<void(bool newEntriesOnly)> opener) { setupOpener = std::move(opener); }
    void openSetup(bool newEntriesOnly);

    // Marks the icon and starts the tip with the mark, e.g. "1 failed"; an empty mark takes it off.
    void setFailureMark(const QString& mark);

    // The program's icon, "MAINICON", in all its sizes.
    static QIcon mainIcon();
    // The icon with a red dot: something failed that the user has not looked at.
    static QIcon markedIcon();

    QSystemTrayIcon* icon() const { return trayIcon.get(); }
    QMenu* menu() const { return trayMenu.get(); }
    QAction* nextItem() const { return nextAction; }
    QAction* newItem() const { return newAction; }
    QAction* setupItem() const { return setupAction; }
    QAction* historyItem() const { return historyAction; }
    // Ends the program: its owner connects it to the engine's close-down.
    QAction* closeItem() const { return closeAction; }
    QMenu* helpMenu() const { return helpSubmenu.get(); }

private:
    std::unique_ptr<QMenu> trayMenu;
    QAction* nextAction = nullptr;
    QAction* nextSeparator = nullptr;
    QAction* newAction = nullptr;
    QAction* setupAction = nullptr;
    QAction* historyAction = nullptr;
    std::unique_ptr<QMenu> helpSubmenu;
    QAction* closeAction = nullptr;
    std::function<void(bool)> setupOpener;
    std::unique_ptr<QSystemTrayIcon> trayIcon;
    bool added = false;
    bool hostPresent;
    QString shownTip() const;

    QString tip;
    QString failureMark;
};
