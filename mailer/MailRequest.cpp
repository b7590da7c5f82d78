// SPDX-License-Identifier: MIT
#include "mailer/MailRequest.h"

#include <QRegularExpression>

namespace {

constexpr int MaxLocalPart = 64;
constexpr int MaxAddress = 254;

bool isAtomChar(QChar c)
{
    static const QString others = QStringLiteral("!#$%&'*+-/=?^_`{|}~");
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || others.contains(c);
}

bool isDotAtom(const QString& text)
{
    if (text.isEmpty() || text.startsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char('.')) ||
        text.contains(QLatin1String("..")))
        return false;
    for (const QChar c : text) {
        if (c != QLatin1Char('.') && !isAtomChar(c))
            return false;
    }
    return true;
}

bool isDomain(const QString& text)
{
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    if (text.isEmpty())
        return false;
    const QStringList labels = text.split(QLatin1Char('.'));
    for (const QString& l : labels) {
        if (!label.match(l).hasMatch())
            return false;
    }
    return true;
}

bool hasControl(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control ||
            c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            return true;
    }
    return false;
}

} // namespace

bool isPlainAddress(const QString& address)
{
    if (address.size() > MaxAddress)
        return false;
    const int at = address.indexOf(QLatin1Char('@'));
    if (at < 0 || at != address.lastIndexOf(QLatin1Char('@')))
        return false;
    const QString local = address.left(at);
    return local.size() <= MaxLocalPart && isDotAtom(local) && isDomain(address.mid(at + 1));
}

QString joinArguments(const QStringList& arguments)
{
    return arguments.join(QLatin1Char(' '));
}

MailRequest parseParameterText(const QString& text)
{
    MailRequest request;
    const int comma = text.lastIndexOf(QLatin1Char(','));
    if (comma < 0) {
        request.error = QStringLiteral("no note file named: the parameter text must end with \",\" and "
                                       "the note file's name");
        return request;
    }
    // Blanks around the name are the launcher's; the name itself is kept as it is.
    const QString name = text.mid(comma + 1).trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1String("..")) ||
        hasControl(name)) {
        request.error =
            QStringLiteral("the note file name \"%1\" is not a bare file name").arg(printable(name));
        return request;
    }
    request.noteFile = name;

    static const QRegularExpression separators(QStringLiteral("[,;]"));
    const QStringList parts = text.left(comma).split(separators);
    for (const QString& part : parts) {
        // Only blanks are trimmed: a line break around an address makes it invalid.
        QString a = part;
        while (a.startsWith(QLatin1Char(' ')) || a.startsWith(QLatin1Char('\t')))
            a.remove(0, 1);
        while (a.endsWith(QLatin1Char(' ')) || a.endsWith(QLatin1Char('\t')))
            a.chop(1);
        if (a.isEmpty())
            continue;
        if (!isPlainAddress(a)) {
            request.skipped.append(a);
            continue;
        }
        bool known = false;
        for (const QString& b : std::as_const(request.addresses))
            known = known || b.compare(a, Qt::CaseInsensitive) == 0;
        if (!known)
            request.addresses.append(a);
    }
    if (request.addresses.isEmpty())
        request.error = QStringLiteral("no valid address in \"%1\"").arg(printable(text.left(comma)));
    return request;
}

QString printable(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\r')
            out += QStringLiteral("\\r");
        else if (u == '\n')
            out += QStringLiteral("\\n");
        else if (u == '\t')
            out += QStringLiteral("\\t");
        else if (u < 0x20 || u == 0x7f || c.category() == QChar::Other_Control ||
                 c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}
