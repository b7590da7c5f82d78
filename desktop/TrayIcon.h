// SPDX-License-Identifier: MIT
#pragma once
// The program's icon in the tray, its tip and its menu.

#include "TrayView.h"

#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class MakerLinks;
class Scheduler;

class TrayIcon : public TrayView
{
    Q_DECLARE_TR_FUNCTIONS(TrayIcon)

public:
    // Without a tray host at first, the icon is made only once hostAppeared is called.
    TrayIcon(Scheduler& scheduler, MakerLinks& links, bool hostPresent = true);
    ~TrayIcon() override;

    void add(const QString& tip) override;
    void modify(const QString& tip) override;
    void remove() override;

    // A tray host has shown up: the icon, if added, appears in it now.
    void hostAppeared();

    // What opens the setup dialog.
    void setSetupOpener(std::function<void()> opener) { openSetup = std::move(opener); }
    // Opens the setup dialog, for new entries only or on the whole schedule, unless it is open.
    void SetupClick(bool newMode);

    // Marks the icon and starts the tip with the mark, e.g. "1 failed"; an empty mark takes it off.
    void setFailureMark(const QString& mark);

    // The program's icon, "MAINICON", in all its sizes.
    static QIcon mainIcon();
    // The icon with a red dot: something failed that the user has not looked at.
    static QIcon markedIcon();

    QSystemTrayIcon* icon() const { return trayIcon.get(); }
    QMenu* menu() const { return trayMenu.get(); }
    QAction* newItem() const { return NewNote; }
    QAction* setupItem() const { return Setup; }
    QAction* historyItem() const { return historyAction; }
    QAction* closeItem() const { return CloseItem; }
    QMenu* helpMenu() const { return HelpItem.get(); }

private:
    Scheduler& scheduler;
    std::unique_ptr<QMenu> trayMenu;
    QAction* NewNote = nullptr;
    QAction* Setup = nullptr;
    QAction* historyAction = nullptr;
    std::unique_ptr<QMenu> HelpItem;
    QAction* CloseItem = nullptr;
    std::function<void()> openSetup;
    std::unique_ptr<QSystemTrayIcon> trayIcon;
    bool added = false;
    bool hostPresent;
    QString shownTip() const;

    QString tip;
    QString failureMark;
};
