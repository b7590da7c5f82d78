// SPDX-License-Identifier: MIT
#include "schedule/Recurrence.h"
#include "tests/support/PinnedZone.h"

#include <gtest/gtest.h>

#include <algorithm>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

struct DayCase
{
    const char* name;
    const char* zone;
    const char* line;
    QDate anchor;
    QDate day;
    int count;
    // The first occurrences, as ISO texts with the offset of the moment.
    QStringList first;
};

class OccurrencesOnADay : public ::testing::TestWithParam<DayCase>
{};

// The local wall time with the offset from UTC of that moment.
QStringList texts(const QList<QDateTime>& instants, int n)
{
    QStringList out;
    for (const QDateTime& t : instants.mid(0, n)) {
        const int offset = t.offsetFromUtc() / 60;
        out.append(t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + (offset < 0 ? '-' : '+') +
                   QTime(0, 0).addSecs(qAbs(offset) * 60).toString(QStringLiteral("HH:mm")));
    }
    return out;
}

const QDate sun0308(2026, 3, 8);  // New York springs forward at 02:00
const QDate sun1101(2026, 11, 1); // and falls back at 02:00
const QDate lordHoweSpring(2026, 10, 4);
const QDate lordHoweFall(2026, 4, 5);

} // namespace

TEST_P(OccurrencesOnADay, AreTheRulesWallTimesAsInstants)
{
    const DayCase& c = GetParam();
    const PinnedZone zone(c.zone);
    const Recurrence rule(QString::fromLatin1(c.line), c.anchor);
    const QList<QDateTime> on = rule.on(c.day);
    EXPECT_EQ(on.size(), c.count);
    EXPECT_EQ(texts(on, static_cast<int>(c.first.size())), c.first);
    for (int i = 1; i < on.size(); ++i)
        EXPECT_LT(on[i - 1], on[i]) << i;

    // The first occurrence from an instant, worked out alone, is the first of the list from it:
    // from before the day, on and off whole minutes, at and just after each occurrence.
    const Recurrence::Day day = Recurrence::Day::of(c.day);
    const QList<qint64> all = rule.instantsOn(day);
    QList<qint64> froms = all;
    for (const qint64 at : all)
        froms.append(at + 1);
    const qint64 before = QDateTime(c.day, QTime(0, 0)).toMSecsSinceEpoch() - 3600000;
    for (qint64 from = before; from < before + 27 * 3600000; from += 7 * 60000 + 1234)
        froms.append(from);
    for (const qint64 from : froms) {
        const auto first = std::find_if(all.begin(), all.end(), [&](qint64 at) { return at >= from; });
        const std::optional<qint64> expected =
            first == all.end() ? std::nullopt : std::optional<qint64>(*first);
        EXPECT_EQ(rule.firstOn(day, from), expected)
            << QDateTime::fromMSecsSinceEpoch(from).toString(Qt::ISODateWithMs).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Days, OccurrencesOnADay,
    ::testing::Values(
        // A skipped time runs once, right after the jump.
        DayCase{"skipped_once",
                "America/New_York",
                " 02:00 AM    ,,0,",
                sun0308,
                sun0308,
                1,
                {"2026-03-08T03:00:00-04:00"}},
        DayCase{"skipped_weekly",
                "America/New_York",
                " 02:15 AM    ,,/1,",
                sun0308,
                sun0308,
                1,
                {"2026-03-08T03:00:00-04:00"}},
        // A series keeps its wall times; the skipped ones become one run at 03:00.
        DayCase{"skipped_series",
                "America/New_York",
                " 01:00 AM    ,,30,",
                sun0308,
                sun0308,
                44,
                {"2026-03-08T01:00:00-05:00", "2026-03-08T01:30:00-05:00", "2026-03-08T03:00:00-04:00",
                 "2026-03-08T03:30:00-04:00"}},
        // A time shown twice runs at its first showing; the series does not run twice.
        DayCase{"doubled_once",
                "America/New_York",
                " 01:30 AM    ,,0,",
                sun1101,
                sun1101,
                1,
                {"2026-11-01T01:30:00-04:00"}},
        DayCase{"doubled_series",
                "America/New_York",
                "12:00 AM    ,,30,",
                sun1101,
                sun1101,
                48,
                {"2026-11-01T00:00:00-04:00", "2026-11-01T00:30:00-04:00", "2026-11-01T01:00:00-04:00",
                 "2026-11-01T01:30:00-04:00", "2026-11-01T02:00:00-05:00"}},
        DayCase{"berlin_spring",
                "Europe/Berlin",
                " 02:30 AM    ,,0,",
                QDate(2026, 3, 29),
                QDate(2026, 3, 29),
                1,
                {"2026-03-29T03:00:00+02:00"}},
        DayCase{"berlin_fall",
                "Europe/Berlin",
                " 02:30 AM    ,,0,",
                QDate(2026, 10, 25),
                QDate(2026, 10, 25),
                1,
                {"2026-10-25T02:30:00+02:00"}},
        // Lord Howe Island moves its clock by half an hour.
        DayCase{"lord_howe_spring",
                "Australia/Lord_Howe",
                " 02:15 AM    ,,0,",
                lordHoweSpring,
                lordHoweSpring,
                1,
                {"2026-10-04T02:30:00+11:00"}},
        DayCase{"lord_howe_fall",
                "Australia/Lord_Howe",
                " 01:45 AM    ,,0,",
                lordHoweFall,
                lordHoweFall,
                1,
                {"2026-04-05T01:45:00+11:00"}},
        DayCase{"lord_howe_series",
                "Australia/Lord_Howe",
                " 01:45 AM    ,,15,",
                lordHoweSpring,
                lordHoweSpring,
                87,
                {"2026-10-04T01:45:00+10:30", "2026-10-04T02:30:00+11:00", "2026-10-04T02:45:00+11:00"}},
        // Month ends and the leap day.
        DayCase{"no_31st_in_april",
                "Europe/Berlin",
                " 09:00 AM    ,,-31,",
                QDate(2026, 4, 1),
                QDate(2026, 4, 30),
                0,
                {}},
        DayCase{"the_31st_of_may",
                "Europe/Berlin",
                " 09:00 AM    ,,-31,",
                QDate(2026, 5, 1),
                QDate(2026, 5, 31),
                1,
                {"2026-05-31T09:00:00+02:00"}},
        DayCase{"leap_day",
                "Europe/Berlin",
                " 09:00 AM    ,,-29,",
                QDate(2028, 2, 1),
                QDate(2028, 2, 29),
                1,
                {"2028-02-29T09:00:00+01:00"}},
        DayCase{"no_leap_day",
                "Europe/Berlin",
                " 09:00 AM    ,,-29,",
                QDate(2027, 2, 1),
                QDate(2027, 2, 28),
                0,
                {}},
        // Repeats go on across midnight from their start on the anchor day.
        DayCase{"repeat_first_day",
                "America/New_York",
                "10:30 PM    ,,60,",
                QDate(2026, 12, 7),
                QDate(2026, 12, 7),
                2,
                {"2026-12-07T22:30:00-05:00", "2026-12-07T23:30:00-05:00"}},
        DayCase{"repeat_next_day",
                "America/New_York",
                "10:30 PM    ,,60,",
                QDate(2026, 12, 7),
                QDate(2026, 12, 8),
                24,
                {"2026-12-08T00:30:00-05:00"}},
        DayCase{"ninety_past_midnight",
                "America/New_York",
                "11:00 PM    ,,90,",
                QDate(2026, 12, 7),
                QDate(2026, 12, 8),
                16,
                {"2026-12-08T00:30:00-05:00"}},
        DayCase{"a_day_interval",
                "America/New_York",
                " 09:00 AM    ,,1440,",
                QDate(2026, 12, 7),
                QDate(2026, 12, 9),
                1,
                {"2026-12-09T09:00:00-05:00"}},
        DayCase{"before_the_anchor",
                "America/New_York",
                " 09:00 AM    ,,30,",
                QDate(2026, 12, 7),
                QDate(2026, 12, 6),
                0,
                {}},
        DayCase{"not_a_time",
                "America/New_York",
                "25:00 PM    ,,0,",
                QDate(2026, 12, 7),
                QDate(2026, 12, 7),
                0,
                {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Recurrence, ASeriesRunsOnAcrossMidnight)
{
    const PinnedZone zone("Europe/Berlin");
    const Recurrence rule("11:50 PM    ,,5,", QDate(2026, 12, 7));
    // After 23:55 on the anchor day come 00:00 and 00:05 of the next.
    const Recurrence::Day next = Recurrence::Day::of(QDate(2026, 12, 8));
    const qint64 after = QDateTime(QDate(2026, 12, 7), QTime(23, 55)).toMSecsSinceEpoch() + 1;
    EXPECT_EQ(rule.firstOn(Recurrence::Day::of(QDate(2026, 12, 7)), after), std::nullopt);
    const std::optional<qint64> first = rule.firstOn(next, after);
    ASSERT_TRUE(first);
    EXPECT_EQ(texts({QDateTime::fromMSecsSinceEpoch(*first),
                     QDateTime::fromMSecsSinceEpoch(rule.firstOn(next, *first + 1).value_or(0))},
                    2),
              QStringList({"2026-12-08T00:00:00+01:00", "2026-12-08T00:05:00+01:00"}));
}

TEST(Recurrence, ReadsTheRepeatFieldAsTheScheduleDoes)
{
    // Odd fields a hand edit may leave: each day's runs are those the field's own reading gives.
    const PinnedZone zone("Europe/Berlin");
    const QStringList fields = {"0",    " 5",   "+90", "1441", "-8", "-31", "/",
                                "/246", "/2x7", "abc", "",     "08", "-0"};
    for (const QString& field : fields) {
        for (QDate day(2026, 12, 6); day <= QDate(2026, 12, 12); day = day.addDays(1)) {
            const Recurrence rule(QStringLiteral("12:00 AM    ,,") + field + QLatin1Char(','), day);
            const int interval = RepeatRule(field).intervalOn(day);
            const qsizetype runs = interval < 0 ? 0 : interval == 0 ? 1 : (1440 + interval - 1) / interval;
            EXPECT_EQ(rule.on(day).size(), runs)
                << field.toStdString() << ' ' << day.toString().toStdString();
        }
    }
}
