// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

class QDBusServiceWatcher;

// Watches for a tray to put the icon in: a StatusNotifierItem host on the session bus, or an
// XEmbed tray holding the X11 selection "_NET_SYSTEM_TRAY_S<screen>". Asks the bus and the X
// server itself: Qt decides once per process, when its first tray icon is made, whether a
// bus tray exists, so that icon must not be made before one does.
class TrayHostWatcher : public QObject
{
    Q_OBJECT

public:
    // noHostAfterMs: how long to wait for a tray before noHostYet.
    explicit TrayHostWatcher(int noHostAfterMs, QObject* parent = nullptr);
    ~TrayHostWatcher() override;

    // Whether a tray host has been seen, at start or since.
    bool hostFound() const { return found; }
    // Whether a tray host is there now, asked afresh.
    static bool hostPresent();
    static bool busHostPresent();
    static bool xembedHostPresent();

signals:
    // A tray host exists now; sent once.
    void hostAppeared();
    // The wait passed without any tray host; sent once.
    void noHostYet();

private:
    void check();

    QTimer poll;
    QTimer patience;
    QDBusServiceWatcher* busWatcher = nullptr;
    bool found = false;
};
