// SPDX-License-Identifier: MIT
#include "engine/Firing.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

namespace {

using Outcome = Firing::Outcome;

// The words of each outcome in the history file: the file's contract with its readers.
const struct
{
    Outcome outcome;
    const char* word;
} outcomeWords[] = {
    {Outcome::Started, "started"},        {Outcome::NotStarted, "not started"},
    {Outcome::Exited, "exited"},          {Outcome::NoteShown, "note shown"},
    {Outcome::NoteClosed, "note closed"}, {Outcome::NoteSnoozed, "note snoozed"},
    {Outcome::MailSent, "mail sent"},     {Outcome::MailKept, "mail kept"},
    {Outcome::Missed, "missed"},          {Outcome::NotRunLate, "not run late"},
};

const QChar tab = QLatin1Char('\t');

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

std::optional<QString> unescaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i].unicode()) {
        case '\\':
            out += QLatin1Char('\\');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 'x': {
            bool ok = false;
            const uint code = text.mid(i + 1, 2).toUInt(&ok, 16);
            if (!ok || i + 2 >= text.size())
                return std::nullopt;
            out += QChar(code);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

QString timeText(const QDateTime& t)
{
    return t.isValid() ? t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate) : QStringLiteral("-");
}

std::optional<QDateTime> timeFrom(const QString& text)
{
    if (text == QLatin1String("-"))
        return QDateTime();
    const QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid())
        return std::nullopt;
    return t.toLocalTime();
}

} // namespace

bool Firing::failed() const
{
    switch (outcome) {
    case Outcome::NotStarted:
    case Outcome::MailKept:
        return true;
    case Outcome::Exited:
        return status != 0 || signal != 0;
    default:
        return false;
    }
}

QString Firing::toLine() const
{
    QString word;
    for (const auto& o : outcomeWords) {
        if (o.outcome == outcome)
            word = QLatin1String(o.word);
    }
    QStringList fields{timeText(due), timeText(ran), word, escaped(line)};
    if (!reason.isEmpty())
        fields << QStringLiteral("reason=") + escaped(reason);
    if (outcome == Outcome::Exited || outcome == Outcome::MailKept)
        fields << (signal ? QStringLiteral("signal=%1").arg(signal)
                          : QStringLiteral("status=%1").arg(status));
    if (outcome == Outcome::Exited)
        fields << QStringLiteral("seconds=%1").arg(seconds, 0, 'f', 1);
    if (!errorOutput.isEmpty())
        fields << QStringLiteral("errors=") + escaped(errorOutput);
    if (until.isValid())
        fields << QStringLiteral("until=") + timeText(until);
    return fields.join(tab);
}

std::optional<Firing> Firing::fromLine(const QString& text)
{
    const QStringList fields = text.split(tab);
    if (fields.size() < 4)
        return std::nullopt;
    Firing f;
    const auto due = timeFrom(fields[0]);
    const auto ran = timeFrom(fields[1]);
    const auto line = unescaped(fields[3]);
    if (!due || !due->isValid() || !ran || !line)
        return std::nullopt;
    f.due = *due;
    f.ran = *ran;
    f.line = *line;
    bool known = false;
    for (const auto& o : outcomeWords) {
        if (fields[2] == QLatin1String(o.word)) {
            f.outcome = o.outcome;
            known = true;
        }
    }
    if (!known)
        return std::nullopt;
    for (const QString& field : fields.mid(4)) {
        const qsizetype equals = field.indexOf(QLatin1Char('='));
        const QString key = field.left(equals);
        const auto value = unescaped(field.mid(equals + 1));
        if (equals < 0 || !value)
            return std::nullopt;
        bool ok = true;
        if (key == QLatin1String("reason")) {
            f.reason = *value;
        } else if (key == QLatin1String("status")) {
            f.status = value->toInt(&ok);
        } else if (key == QLatin1String("signal")) {
            f.signal = value->toInt(&ok);
        } else if (key == QLatin1String("seconds")) {
            f.seconds = value->toDouble(&ok);
        } else if (key == QLatin1String("errors")) {
            f.errorOutput = *value;
        } else if (key == QLatin1String("until")) {
            const auto until = timeFrom(*value);
            ok = until && until->isValid();
            if (ok)
                f.until = *until;
        }
        // Keys this reader does not know are skipped: later writers may add details.
        if (!ok)
            return std::nullopt;
    }
    return f;
}

QString Firing::describe() const
{
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("Firing", text);
    };
    switch (outcome) {
    case Outcome::Started:
        return tr("Started");
    case Outcome::NotStarted:
        return tr("Could not start: %1").arg(reason);
    case Outcome::Exited:
        if (signal)
            return tr("Ended by signal %1 after %2 s").arg(signal).arg(seconds, 0, 'f', 1);
        return tr("Exited with status %1 after %2 s").arg(status).arg(seconds, 0, 'f', 1);
    case Outcome::NoteShown:
        return tr("Note shown");
    case Outcome::NoteClosed:
        return tr("Note closed");
    case Outcome::NoteSnoozed:
        return tr("Note snoozed until %1").arg(QLocale().toString(until, QLocale::ShortFormat));
    case Outcome::MailSent:
        return tr("Mail sent");
    case Outcome::MailKept:
        return tr("Mail not sent, kept in the outbox");
    case Outcome::Missed:
        return reason.isEmpty() ? tr("Missed while asleep") : tr("Missed while asleep, %1").arg(reason);
    case Outcome::NotRunLate:
        return reason.isEmpty() ? tr("Not run late after a sleep")
                                : tr("Not run late after a sleep, %1").arg(reason);
    }
    return {};
}

bool Firing::operator==(const Firing& o) const
{
    return due == o.due && ran == o.ran && line == o.line && outcome == o.outcome && reason == o.reason &&
           status == o.status && signal == o.signal && qRound(seconds * 10) == qRound(o.seconds * 10) &&
           errorOutput == o.errorOutput && until == o.until;
}
