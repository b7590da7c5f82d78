#pragma once
// The program's icon in the tray, its tip and its menu.

#include "TrayView.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>

class TTimerForm;

class TrayIcon : public TrayView
{
public:
    explicit TrayIcon(TTimerForm& timerForm);
    ~TrayIcon() override;

    void add(const QString& tip) override;
    void modify(const QString& tip) override;
    void remove() override;

    // The program's icon, "MAINICON", in all its sizes.
    static QIcon mainIcon();

    QSystemTrayIcon* icon() const { return trayIcon.get(); }
    QMenu* menu() const { return PopupMenu1.get(); }
    QAction* closeItem() const { return CloseItem; }

private:
    TTimerForm& timerForm;
    std::unique_ptr<QMenu> PopupMenu1;
    QAction* CloseItem = nullptr;
    std::unique_ptr<QSystemTrayIcon> trayIcon;
    bool added = false;
};
