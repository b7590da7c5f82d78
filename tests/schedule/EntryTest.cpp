// SPDX-License-Identifier: MIT
#include "schedule/Entry.h"

#include <gtest/gtest.h>

TEST(Entry, ALineIsTakenApartOnceForEveryReader)
{
    const QString longNote = QString(36, 'n') + ".txt";
    const struct
    {
        QString line;
        Entry::Kind kind;
        QTime start;
        QString parameters;
        QString note;
        QString shownNote;
    } cases[] = {
        {" 09:30 AM    ,,120,[1260930.txt]", Entry::Kind::Note, QTime(9, 30), "", "1260930.txt",
         "1260930.txt"},
        {"02:15 PM    ,/opt/backup,/246,--quiet", Entry::Kind::Program, QTime(14, 15), "--quiet", "", ""},
        {"8:00,/a/Bell.WAV,0,", Entry::Kind::Sound, QTime(8, 0), "", "", ""},
        {"8:00,dialer.exe,0,5551234", Entry::Kind::Dialer, QTime(8, 0), "5551234", "", ""},
        // A mailed note is sent, never shown.
        {"8:00,dariziz.exe,-15,me@example.org[3.txt]", Entry::Kind::Mail, QTime(8, 0), "me@example.org",
         "3.txt", ""},
        // A name written by hand is kept whole.
        {"8:00,,0,[" + longNote + "]", Entry::Kind::Note, QTime(8, 0), "", longNote, longNote},
        // The time field keeps 12 characters, whole minutes.
        {"  10:45:30      PM,app,0,x", Entry::Kind::Program, QTime(10, 45), "x", "", ""},
        {"25:00,app,0,", Entry::Kind::Program, QTime(), "", "", ""},
    };
    for (const auto& c : cases) {
        const Entry e(c.line);
        EXPECT_EQ(e.line(), c.line);
        EXPECT_EQ(e.kind(), c.kind) << c.line.toStdString();
        EXPECT_EQ(e.startTime(), c.start) << c.line.toStdString();
        EXPECT_EQ(e.isValid(), c.start.isValid()) << c.line.toStdString();
        EXPECT_EQ(e.parameters(), c.parameters) << c.line.toStdString();
        EXPECT_EQ(e.noteName(), c.note) << c.line.toStdString();
        EXPECT_EQ(e.shownNote(), c.shownNote) << c.line.toStdString();
    }
}

TEST(Entry, TheRepeatFieldReadsAsOneRuleForTheEngineAndTheDialog)
{
    const struct
    {
        const char* field;
        RepeatRule::Kind kind;
        qint64 value;
        bool wellFormed;
    } cases[] = {
        {"90", RepeatRule::Kind::Interval, 90, true},  {"99999", RepeatRule::Kind::Interval, 1440, true},
        {"-0", RepeatRule::Kind::Interval, 0, true},   {"-15", RepeatRule::Kind::DayOfMonth, 15, true},
        {"/246", RepeatRule::Kind::Weekdays, 0, true}, {"x2", RepeatRule::Kind::Weekdays, 0, false},
        {"", RepeatRule::Kind::Weekdays, 0, false}};
    for (const auto& c : cases) {
        const RepeatRule rule{QString::fromLatin1(c.field)};
        EXPECT_EQ(rule.kind(), c.kind) << c.field;
        EXPECT_EQ(rule.value(), c.value) << c.field;
        EXPECT_EQ(rule.isWellFormed(), c.wellFormed) << c.field;
    }
    // Monday, Wednesday and Friday: Qt's days 1, 3 and 5.
    const RepeatRule weekdays(QStringLiteral("/246"));
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(weekdays.hasWeekday(day), day == 1 || day == 3 || day == 5) << day;
}
