// SPDX-License-Identifier: MIT
// Splitting an event line and evaluating it for a day: splitEventLine, Recurrence, timeValue,
// takeNoteReference and fillDatePlaceholder against the documented rules.
//
// Input: byte 0 chooses how the rest reads as text, bytes 1-2 the day, byte 3 the longest
// note name; the rest is the line.

#include "fuzz/support/Expected.h"
#include "fuzz/support/FuzzSupport.h"
#include "schedule/EventLine.h"
#include "schedule/Recurrence.h"

#include <initializer_list>

namespace {

QString fieldsText(const EventFields& f)
{
    return QStringLiteral("time=%1 program=%2 repeat=%3 parameters=%4 hasComma=%5")
        .arg(shown(f.time), shown(f.program), shown(f.repeat), shown(f.parameters))
        .arg(f.hasComma);
}

// The fields joined by commas are the line; compared in place, without building the join.
bool joinsTo(const QString& line, std::initializer_list<const QString*> fields)
{
    qsizetype at = 0;
    bool first = true;
    for (const QString* field : fields) {
        if (!first) {
            if (at >= line.size() || line.at(at) != QLatin1Char(','))
                return false;
            ++at;
        }
        first = false;
        if (line.size() - at < field->size() || QStringView(line).mid(at, field->size()) != *field)
            return false;
        at += field->size();
    }
    return at == line.size();
}

EventFields checkSplit(const QString& line)
{
    const EventFields f = splitEventLine(line);
    const ExpectedFields e = expectedFields(line);
    const auto about = [&] {
        return QStringLiteral("line %1 gave %2").arg(shown(line), fieldsText(f));
    };
    const QChar comma = QLatin1Char(',');

    FUZZ_CHECK(f.hasComma == (e.commas > 0), about());
    FUZZ_CHECK(!f.time.contains(comma) && !f.program.contains(comma) && !f.repeat.contains(comma), about());
    switch (e.commas) {
    case 0:
        FUZZ_CHECK(f.parameters == line && f.time.isEmpty() && f.program.isEmpty() && f.repeat.isEmpty(),
                   about());
        break;
    case 1:
        FUZZ_CHECK(joinsTo(line, {&f.time, &f.parameters}) && f.program.isEmpty() && f.repeat.isEmpty(),
                   about());
        break;
    case 2:
        FUZZ_CHECK(joinsTo(line, {&f.time, &f.program, &f.parameters}) && f.repeat.isEmpty(), about());
        break;
    default:
        // Three or more commas: the four fields joined again are the line.
        FUZZ_CHECK(joinsTo(line, {&f.time, &f.program, &f.repeat, &f.parameters}), about());
        break;
    }
    FUZZ_CHECK(f.time == e.time && f.program == e.program && f.repeat == e.repeat &&
                   f.parameters == e.parameters,
               about());
    return f;
}

void checkTime(const QString& text)
{
    const int value = timeValue(text);
    const auto about = [&] {
        return QStringLiteral("time text %1 gave %2").arg(shown(text)).arg(value);
    };
    FUZZ_CHECK(value == -1 || (value >= 0 && value <= 2359 && value % 100 < 60), about());
    FUZZ_CHECK(value == expectedTimeValue(text),
               about() + QStringLiteral(", documented %1").arg(expectedTimeValue(text)));

    const std::optional<QTime> parsed = parseTimeText(text);
    FUZZ_CHECK(parsed.has_value() == (value >= 0), about());
    if (!parsed)
        return;
    FUZZ_CHECK(parsed->isValid() && parsed->hour() * 100 + parsed->minute() == value, about());
    // What the editor writes for that time reads back as the same time, also as the engine
    // keeps it (12 characters).
    const QString composed = composeTimeField(QTime(value / 100, value % 100));
    FUZZ_CHECK(timeValue(composed) == value && timeValue(composed.left(MaxTimeText)) == value,
               about() + QStringLiteral(", composed %1").arg(shown(composed)));
}

void checkNote(const QString& parameters, int limit)
{
    const NoteReference r = takeNoteReference(parameters, limit);
    const ExpectedNote e = expectedNote(parameters, limit);
    const auto about = [&] {
        return QStringLiteral("parameters %1, limit %2 gave parameters %3 note %4; documented %5 %6")
            .arg(shown(parameters))
            .arg(limit)
            .arg(shown(r.parameters), shown(r.noteFile), shown(e.parameters), shown(e.name));
    };
    FUZZ_CHECK(!r.noteFile.contains(QLatin1Char('/')), about());
    FUZZ_CHECK(r.noteFile.size() <= limit, about());
    FUZZ_CHECK(parameters.startsWith(r.parameters), about());
    FUZZ_CHECK(r.parameters == e.parameters && r.noteFile == e.name, about());
}

void checkDate(const QString& parameters, const QDate& day)
{
    const QString filled = fillDatePlaceholder(parameters, day);
    const QString expected = expectedDateFilled(parameters, day);
    FUZZ_CHECK(filled == expected,
               QStringLiteral("parameters %1 on %2 gave %3, documented %4")
                   .arg(shown(parameters), day.toString(Qt::ISODate), shown(filled), shown(expected)));
}

void checkRecurrence(const QString& line, const QDate& day)
{
    // The engine works on the first 255 characters of a line; the zone is UTC.
    const ExpectedFields e = expectedFields(expectedCut(line));
    const int repeat = expectedRepeat(e.repeat, day);
    const int due = timeValue(e.time.left(MaxTimeText));
    QList<int> expected; // minutes of the day
    if (due >= 0 && repeat >= 0) {
        for (int at = due / 100 * 60 + due % 100; at < 1440; at += repeat) {
            expected.append(at);
            if (repeat == 0)
                break;
        }
    }
    const QList<QDateTime> got = Recurrence(line, day).on(day);
    bool same = got.size() == expected.size();
    for (qsizetype i = 0; same && i < got.size(); ++i) {
        const QTime t = got[i].time();
        same = got[i].date() == day && t.second() == 0 && t.msec() == 0 &&
               t.hour() * 60 + t.minute() == expected[i];
    }
    FUZZ_CHECK(same, [&] {
        QStringList gotText;
        for (const QDateTime& at : got)
            gotText.append(at.date() == day ? at.time().toString(QStringLiteral("HH:mm:ss.zzz"))
                                            : at.toString(Qt::ISODateWithMs));
        QStringList expectedText;
        for (const int at : expected)
            expectedText.append(QTime(at / 60, at % 60).toString(QStringLiteral("HH:mm")));
        return QStringLiteral("line %1 on %2 falls due at %3, documented %4")
            .arg(shown(line), day.toString(Qt::ISODate), gotText.join(' '), expectedText.join(' '));
    }());
    checkTime(e.time.left(MaxTimeText));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t mode = in.byte();
    const QDate day = dayFrom(in.word());
    const int limit = in.byte() % 64;
    const QString line = textFrom(in.rest(), mode);

    const EventFields f = checkSplit(line);
    checkRecurrence(line, day);
    checkTime(line);
    checkTime(f.time);
    checkNote(f.parameters, limit);
    checkNote(line, limit);
    checkDate(f.parameters, day);
    return 0;
}
