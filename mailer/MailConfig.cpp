// SPDX-License-Identifier: MIT
#include "mailer/MailConfig.h"

#include "mailer/MailRequest.h"
#include "platform/RegistryStore.h"

#include <QUrl>

#include <arpa/inet.h>
#include <cstring>

const QString mailConfigKey = QStringLiteral("Software/Nudgeon/Mail");

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    QString h = host;
    if (h.startsWith(QLatin1Char('[')) && h.endsWith(QLatin1Char(']')))
        h = h.mid(1, h.size() - 2);
    const QByteArray text = h.toLatin1();
    unsigned char v4[4];
    if (inet_pton(AF_INET, text.constData(), v4) == 1)
        return v4[0] == 127;
    unsigned char v6[16];
    if (inet_pton(AF_INET6, text.constData(), v6) != 1)
        return false;
    static const unsigned char one[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    static const unsigned char mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    return std::memcmp(v6, one, 16) == 0 || (std::memcmp(v6, mapped, 12) == 0 && v6[12] == 127);
}

std::optional<bool> readBoolean(const QString& text)
{
    // As QSettings, systemd and git write them, and as people type them.
    static const char* const spellings[][2] = {{"true", "false"}, {"yes", "no"}, {"on", "off"}, {"1", "0"}};
    const QString t = text.trimmed();
    for (const auto& [yes, no] : spellings) {
        if (t.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String(no), Qt::CaseInsensitive) == 0)
            return false;
    }
    return std::nullopt;
}

MailConfigResult readMailConfig(const RegistryStore& store, const QString& storeName)
{
    MailConfigResult result;
    const auto value = [&](const char* name) {
        return store.readString(mailConfigKey, QLatin1String(name)).value_or(QString()).trimmed();
    };
    const auto refuse = [&](const QString& why) {
        result.error = QStringLiteral("mail settings in %1 [%2]: %3").arg(storeName, mailConfigKey, why);
        return result;
    };

    MailConfig config;
    config.server = value("Server");
    config.from = value("From");
    config.user = value("User");
    const QString startTls = value("StartTLS");
    const QString timeout = value("Timeout");

    if (config.server.isEmpty())
        return refuse(QStringLiteral("Server is not set (e.g. smtp://mail.example.org:587)"));
    // Before anything that shows the address: whatever stands before an "@" may be a password.
    if (config.server.contains(QLatin1Char('@')))
        return refuse(QStringLiteral("Server must not hold a login or password: set User, and the "
                                     "password in ~/.netrc"));
    const QUrl url(config.server, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("smtp") && scheme != QLatin1String("smtps")) ||
        url.host().isEmpty())
        return refuse(QStringLiteral("Server \"%1\" is no smtp:// or smtps:// address with a host")
                          .arg(printable(config.server)));
    if (url.port() < 1)
        return refuse(QStringLiteral("Server \"%1\" names no port (e.g. smtp://%2:587 or smtps://%2:465)")
                          .arg(printable(config.server), url.host()));
    if (url.hasQuery() || url.hasFragment())
        return refuse(
            QStringLiteral("Server \"%1\" holds a query or fragment").arg(printable(config.server)));

    if (config.from.isEmpty())
        return refuse(QStringLiteral("From is not set (the sender's address)"));
    if (!isPlainAddress(config.from))
        return refuse(QStringLiteral("From \"%1\" is no plain address").arg(printable(config.from)));

    for (const QChar c : config.user) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return refuse(QStringLiteral("User holds a control character"));
    }

    if (!startTls.isEmpty()) {
        const std::optional<bool> on = readBoolean(startTls);
        if (!on)
            return refuse(QStringLiteral("StartTLS is \"%1\", not one of true/false, yes/no, on/off, 1/0")
                              .arg(printable(startTls)));
        config.startTls = *on;
    }
    if (!timeout.isEmpty()) {
        bool ok = false;
        config.timeout = timeout.toInt(&ok);
        if (!ok || config.timeout < 1 || config.timeout > 3600)
            return refuse(QStringLiteral("Timeout is \"%1\", not a number of seconds from 1 to 3600")
                              .arg(printable(timeout)));
    }
    // An smtps:// server speaks TLS from the first byte, whatever StartTLS says.
    if (scheme == QLatin1String("smtp") && !config.startTls && !isLoopbackHost(url.host()))
        return refuse(QStringLiteral("StartTLS off is allowed only for a server on this machine; use "
                                     "StartTLS=true or an smtps:// server"));

    result.config = config;
    return result;
}
