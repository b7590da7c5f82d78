// SPDX-License-Identifier: MIT
#include "desktop/TrayHostWatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>

#include <xcb/xcb.h>

namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
// A tray that starts late is picked up within this time.
constexpr int PollMs = 1000;
// A bus or an X server that does not answer by then counts as having no tray.
constexpr int AskTimeout = 1000;

// The X screen the program shows on: the number after the dot of $DISPLAY, else 0.
int displayScreen()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const int colon = display.lastIndexOf(QLatin1Char(':'));
    const int dot = display.indexOf(QLatin1Char('.'), colon < 0 ? 0 : colon);
    return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}
} // namespace

TrayHostWatcher::TrayHostWatcher(int noHostAfterMs, QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        busWatcher =
            new QDBusServiceWatcher(watcherService, bus, QDBusServiceWatcher::WatchForRegistration, this);
        connect(busWatcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayHostWatcher::check);
    }
    // The watcher's name alone is not enough: its host registers a moment later, and an XEmbed
    // tray sends nothing the program would hear. Both are asked for until one is there.
    poll.setInterval(PollMs);
    connect(&poll, &QTimer::timeout, this, &TrayHostWatcher::check);
    patience.setSingleShot(true);
    patience.setInterval(noHostAfterMs);
    connect(&patience, &QTimer::timeout, this, [this] {
        if (!found)
            emit noHostYet();
    });
    found = hostPresent();
    if (!found) {
        poll.start();
        patience.start();
    }
}

TrayHostWatcher::~TrayHostWatcher() = default;

bool TrayHostWatcher::hostPresent()
{
    return busHostPresent() || xembedHostPresent();
}

void TrayHostWatcher::check()
{
    if (found || !hostPresent())
        return;
    found = true;
    poll.stop();
    patience.stop();
    emit hostAppeared();
}

bool TrayHostWatcher::busHostPresent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({watcherService, QStringLiteral("IsStatusNotifierHostRegistered")});
    const QDBusMessage reply = bus.call(get, QDBus::Block, AskTimeout);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

bool TrayHostWatcher::xembedHostPresent()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(displayScreen());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()),
        nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    free(owner);
    free(atom);
    return owned;
}
