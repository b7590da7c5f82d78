// SPDX-License-Identifier: MIT
#include "schedule/EventLine.h"

#include "schedule/RepeatRule.h"

#include <QCoreApplication>

QString cutText(const QString& text, int length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate() && text.at(length).isLowSurrogate())
        --length;
    return text.left(length);
}

namespace {

QString capped(const QString& text)
{
    return cutText(text, MaxLineLength);
}

} // namespace

EventFields splitEventLine(const QString& line)
{
    EventFields f;
    const int p1 = line.indexOf(QLatin1Char(','));
    if (p1 < 0) {
        // No separator at all: no time field, and the line reads as a bare parameters field.
        f.parameters = line;
        return f;
    }
    f.hasComma = true;
    f.time = line.left(p1);
    QString rest = line.mid(p1 + 1);
    const int p2 = rest.indexOf(QLatin1Char(','));
    if (p2 < 0) {
        f.parameters = rest;
        return f;
    }
    f.program = rest.left(p2);
    rest = rest.mid(p2 + 1);
    const int p3 = rest.indexOf(QLatin1Char(','));
    if (p3 < 0) {
        f.parameters = rest;
        return f;
    }
    f.repeat = rest.left(p3);
    f.parameters = rest.mid(p3 + 1);
    return f;
}

std::optional<QTime> parseTimeText(const QString& text)
{
    // "[blanks]H[H]:MM[:SS][blanks][AM|PM][blanks]", read by hand: a regular expression would
    // bring its engine into every start, for the schedule's first line.
    qsizetype at = 0;
    const auto skipBlanks = [&] {
        while (at < text.size() && (text[at] == QLatin1Char(' ') || text[at] == QLatin1Char('\t')))
            ++at;
    };
    // The number of exactly `digits` ASCII digits at the reading place, or -1.
    const auto number = [&](int digits) {
        int value = 0;
        for (int i = 0; i < digits; ++i, ++at) {
            if (at >= text.size() || text[at] < QLatin1Char('0') || text[at] > QLatin1Char('9'))
                return -1;
            value = value * 10 + (text[at].unicode() - '0');
        }
        return value;
    };
    const auto isDigit = [&](qsizetype i) {
        return i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9');
    };

    skipBlanks();
    int hour = number(isDigit(at + 1) ? 2 : 1);
    if (hour < 0 || at >= text.size() || text[at++] != QLatin1Char(':'))
        return std::nullopt;
    const int minute = number(2);
    int second = 0;
    if (at < text.size() && text[at] == QLatin1Char(':')) {
        ++at;
        second = number(2);
    }
    if (minute < 0 || second < 0)
        return std::nullopt;
    skipBlanks();
    QChar half;
    if (at + 1 < text.size() && QStringLiteral("AaPp").contains(text[at]) &&
        (text[at + 1] == QLatin1Char('M') || text[at + 1] == QLatin1Char('m'))) {
        half = text[at].toUpper();
        at += 2;
    }
    skipBlanks();
    if (at != text.size() || minute > 59 || second > 59)
        return std::nullopt;
    if (half.isNull()) {
        if (hour > 23)
            return std::nullopt;
    } else {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour %= 12;
        if (half == QLatin1Char('P'))
            hour += 12;
    }
    return QTime(hour, minute, second);
}

int timeValue(const QString& text)
{
    const std::optional<QTime> t = parseTimeText(text);
    return t ? t->hour() * 100 + t->minute() : -1;
}

QString invalidTimeMessage(const QString& text)
{
    return QCoreApplication::translate("EventLine", "'%1' is not a valid time").arg(text);
}

QString composeTimeField(const QTime& time)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    QString text = QString::asprintf("%02d:%02d %s", hour12, time.minute(), time.hour() < 12 ? "AM" : "PM");
    if (text.contains(QLatin1String(" AM")))
        text.prepend(QLatin1Char(' '));
    return text + QStringLiteral("    ");
}

NoteReference takeNoteReference(const QString& parametersField, int maxNameLength)
{
    const int open = parametersField.indexOf(QLatin1Char('['));
    // The end is looked for after the "[", so parameters that hold ".txt]" themselves keep
    // their note; compared without case, unit by unit, so positions stay those of the field.
    const int end =
        open < 0 ? -1 : parametersField.indexOf(QLatin1String(".txt]"), open + 1, Qt::CaseInsensitive);
    if (open < 0 || end < 0)
        return {parametersField, QString()};
    NoteReference ref;
    ref.parameters = parametersField.left(open);
    ref.noteFile = cutText(parametersField.mid(open + 1, parametersField.size() - open - 2), maxNameLength);
    // A note lives in the program folder: a name that reaches into another folder is no note.
    if (ref.noteFile.contains(QLatin1Char('/')) || ref.noteFile.contains(QLatin1Char('\\')) ||
        ref.noteFile.contains(QChar(0)) || ref.noteFile == QLatin1String(".") ||
        ref.noteFile == QLatin1String(".."))
        ref.noteFile.clear();
    return ref;
}

QString composeRepeatField(const EventInput& input)
{
    switch (input.kind) {
    case RepeatKind::Weekly: {
        QString field = QStringLiteral("/");
        for (int i = 0; i < 7; ++i) {
            if (input.weekdays[static_cast<size_t>(i)])
                field += QLatin1Char(weekdayDigit(i + 1));
        }
        return field;
    }
    case RepeatKind::Monthly:
        // A day of the month is 1 to 31: "-0" would read back as a daily rule.
        return QStringLiteral("-") + QString::number(qBound(1, input.repeatValue, 31));
    case RepeatKind::Daily:
        break;
    }
    const int minutes = input.hours ? input.repeatValue * 60 : input.repeatValue;
    return QString::number(qBound(0, minutes, 1440));
}

QString composeEventLine(const EventInput& input)
{
    QString line = capped(composeTimeField(input.start));
    line = capped(line + QLatin1Char(',') + input.program);
    line = capped(line + QLatin1Char(','));
    line = capped(line + composeRepeatField(input));
    line = capped(line + QLatin1Char(',') + input.parameters);
    if (input.hasNote) {
        const QString name = input.noteFile.mid(input.noteFile.lastIndexOf(QLatin1Char('/')) + 1);
        line = capped(line + QLatin1Char('[') + name + QLatin1Char(']'));
    }
    return line;
}

int findLine(const QStringList& items, const QString& line)
{
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].compare(line, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString fillDatePlaceholder(const QString& parameters, const QDate& date)
{
    static const QString placeholder = QStringLiteral("mm-dd-yy");
    const int at = parameters.indexOf(placeholder);
    if (at < 0)
        return parameters;
    QString filled = parameters;
    filled.replace(at, placeholder.size(), date.toString(QStringLiteral("MM-dd-yy")));
    return capped(filled);
}
