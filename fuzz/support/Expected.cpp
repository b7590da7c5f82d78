// SPDX-License-Identifier: MIT
#include "fuzz/support/Expected.h"

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

int digitAt(const QString& text, qsizetype i)
{
    return text.at(i).unicode() - '0';
}

char asciiLower(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 'A' && u <= 'Z')
        return static_cast<char>(u - 'A' + 'a');
    return u < 0x80 ? static_cast<char>(u) : '\0';
}

} // namespace

ExpectedFields expectedFields(const QString& line)
{
    ExpectedFields f;
    QString* fields[3] = {&f.time, &f.program, &f.repeat};
    qsizetype start = 0;
    for (int field = 0; field < 3; ++field) {
        qsizetype comma = -1;
        for (qsizetype i = start; i < line.size(); ++i) {
            if (line.at(i) == QLatin1Char(',')) {
                comma = i;
                break;
            }
        }
        if (comma < 0)
            break;
        *fields[field] = line.mid(start, comma - start);
        start = comma + 1;
        ++f.commas;
    }
    f.parameters = line.mid(start);
    // With two commas the second field is the program and there is no repeat field; with
    // one there is only the time.
    return f;
}

int expectedTimeValue(const QString& text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text.at(b)))
        ++b;
    while (e > b && isBlank(text.at(e - 1)))
        --e;
    QString t = text.mid(b, e - b);

    int half = 0; // 0 none, 1 AM, 2 PM
    if (t.size() >= 2) {
        const char a = asciiLower(t.at(t.size() - 2));
        const char m = asciiLower(t.at(t.size() - 1));
        if (m == 'm' && (a == 'a' || a == 'p')) {
            half = a == 'a' ? 1 : 2;
            t.chop(2);
            while (!t.isEmpty() && isBlank(t.back()))
                t.chop(1);
        }
    }

    qsizetype i = 0;
    int hour = 0;
    int hourDigits = 0;
    while (i < t.size() && isAsciiDigit(t.at(i)) && hourDigits < 3) {
        hour = hour * 10 + digitAt(t, i);
        ++i;
        ++hourDigits;
    }
    if (hourDigits < 1 || hourDigits > 2 || i >= t.size() || t.at(i) != QLatin1Char(':'))
        return -1;
    ++i;
    if (i + 2 > t.size() || !isAsciiDigit(t.at(i)) || !isAsciiDigit(t.at(i + 1)))
        return -1;
    const int minute = digitAt(t, i) * 10 + digitAt(t, i + 1);
    i += 2;
    int second = 0;
    if (i < t.size()) {
        if (t.at(i) != QLatin1Char(':') || i + 3 != t.size() || !isAsciiDigit(t.at(i + 1)) ||
            !isAsciiDigit(t.at(i + 2)))
            return -1;
        second = digitAt(t, i + 1) * 10 + digitAt(t, i + 2);
    }
    if (minute > 59 || second > 59)
        return -1;
    if (half == 0) {
        if (hour > 23)
            return -1;
    } else {
        if (hour < 1 || hour > 12)
            return -1;
        if (hour == 12)
            hour = 0;
        if (half == 2)
            hour += 12;
    }
    return hour * 100 + minute;
}

int expectedRepeat(const QString& repeatField, const QDate& today)
{
    bool isNumber = false;
    const qlonglong n = repeatField.toLongLong(&isNumber);
    if (isNumber && n >= INT_MIN && n <= INT_MAX) {
        if (n < 0)
            return today.day() == -n ? 0 : -1;
        return n > 1440 ? 1440 : static_cast<int>(n);
    }
    // Qt counts Monday 1 to Sunday 7; the repeat field counts Sunday 1 to Saturday 7.
    static const char digitOfDay[8] = {'?', '2', '3', '4', '5', '6', '7', '1'};
    const QChar digit = QLatin1Char(digitOfDay[today.dayOfWeek()]);
    return repeatField.contains(digit) ? 0 : -1;
}

QString expectedCut(const QString& text)
{
    if (text.size() <= 255)
        return text;
    const ushort last = text.at(254).unicode();
    const ushort next = text.at(255).unicode();
    const bool split = last >= 0xD800 && last <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF;
    return text.left(split ? 254 : 255);
}

ExpectedNote expectedNote(const QString& parametersField, int maxNameLength)
{
    ExpectedNote note;
    note.parameters = parametersField;
    qsizetype open = -1;
    for (qsizetype i = 0; i < parametersField.size(); ++i) {
        if (parametersField.at(i) == QLatin1Char('[')) {
            open = i;
            break;
        }
    }
    if (open < 0)
        return note;
    static const char suffix[] = ".txt]";
    bool found = false;
    for (qsizetype i = open + 1; i + 5 <= parametersField.size() && !found; ++i) {
        found = true;
        for (int k = 0; k < 5; ++k) {
            if (asciiLower(parametersField.at(i + k)) != suffix[k]) {
                found = false;
                break;
            }
        }
    }
    if (!found)
        return note;
    note.hasReference = true;
    note.parameters = parametersField.left(open);
    QString name;
    for (qsizetype i = open + 1; i < parametersField.size() - 1 && name.size() < maxNameLength; ++i)
        name += parametersField.at(i);
    // Cut as a line is: never between the two halves of a character of two UTF-16 units.
    const qsizetype next = open + 1 + name.size();
    if (!name.isEmpty() && next < parametersField.size() - 1) {
        const ushort last = name.back().unicode();
        const ushort after = parametersField.at(next).unicode();
        if (last >= 0xD800 && last <= 0xDBFF && after >= 0xDC00 && after <= 0xDFFF)
            name.chop(1);
    }
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() == 0)
            return {true, note.parameters, QString()};
    }
    // Nor the folder itself or its parent.
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return {true, note.parameters, QString()};
    note.name = name;
    return note;
}

QString expectedDateFilled(const QString& parameters, const QDate& date)
{
    const QString placeholder = QStringLiteral("mm-dd-yy");
    for (qsizetype i = 0; i + placeholder.size() <= parameters.size(); ++i) {
        if (QStringView(parameters).mid(i, placeholder.size()) == placeholder) {
            const QString filled =
                QString::asprintf("%02d-%02d-%02d", date.month(), date.day(), date.year() % 100);
            return expectedCut(parameters.left(i) + filled + parameters.mid(i + placeholder.size()));
        }
    }
    return parameters;
}

ExpectedSettings expectedSettings(const QString& text)
{
    ExpectedSettings s;
    s.chime = !text.isEmpty() && text.at(0) == QLatin1Char('1');
    s.autoStart = text.size() > 2 && text.at(2) == QLatin1Char('A') && text.at(0) != QLatin1Char('A') &&
                  text.at(1) != QLatin1Char('A');
    return s;
}
