// SPDX-License-Identifier: MIT
#include "schedule/EventLine.h"
#include "schedule/RepeatRule.h"

#include <gtest/gtest.h>

namespace {

EventInput input(QTime start, const QString& program, RepeatKind kind, int value, const QString& parms = {})
{
    EventInput in;
    in.start = start;
    in.program = program;
    in.kind = kind;
    in.repeatValue = value;
    in.parameters = parms;
    return in;
}

} // namespace

TEST(EventLine, ComposesTheEditorsWorkedExamples)
{
    EventInput backup = input(QTime(14, 15), "C:\\TOOLS\\BACKUP.EXE", RepeatKind::Weekly, 0, "/quiet");
    backup.weekdays = {true, false, true, false, true, false, false};
    EXPECT_EQ(composeEventLine(backup), "02:15 PM    ,C:\\TOOLS\\BACKUP.EXE,/246,/quiet");

    EventInput note = input(QTime(9, 30), "", RepeatKind::Daily, 2);
    note.hours = true;
    note.hasNote = true;
    note.noteFile = "1260930.txt";
    EXPECT_EQ(composeEventLine(note), " 09:30 AM    ,,120,[1260930.txt]");

    EXPECT_EQ(composeEventLine(input(QTime(23, 45), "C:\\SOUNDS\\BELL.WAV", RepeatKind::Monthly, 1)),
              "11:45 PM    ,C:\\SOUNDS\\BELL.WAV,-1,");
    EXPECT_EQ(composeEventLine(input(QTime(7, 0), "NOTEPAD.EXE", RepeatKind::Daily, 0, "log mm-dd-yy.txt")),
              " 07:00 AM    ,NOTEPAD.EXE,0,log mm-dd-yy.txt");

    EventInput mail = input(QTime(8, 0), "DARIZIZ.EXE", RepeatKind::Monthly, 15, "me@example.org");
    mail.hasNote = true;
    mail.noteFile = "/some/folder/320800.txt";
    EXPECT_EQ(composeEventLine(mail), " 08:00 AM    ,DARIZIZ.EXE,-15,me@example.org[320800.txt]");
}

TEST(EventLine, TimeFieldAroundMidnightAndNoon)
{
    EXPECT_EQ(composeTimeField(QTime(0, 0)), " 12:00 AM    ");
    EXPECT_EQ(composeTimeField(QTime(12, 0)), "12:00 PM    ");
    EXPECT_EQ(composeTimeField(QTime(13, 5)), "01:05 PM    ");
    EXPECT_EQ(composeTimeField(QTime(11, 59, 59)), " 11:59 AM    ");
}

TEST(EventLine, RepeatFieldsOfEveryRule)
{
    EventInput in = input(QTime(8, 0), "", RepeatKind::Weekly, 0);
    EXPECT_EQ(composeRepeatField(in), "/");
    in.weekdays.fill(true);
    EXPECT_EQ(composeRepeatField(in), "/2345671");
    in.weekdays = {false, false, false, false, false, true, true};
    EXPECT_EQ(composeRepeatField(in), "/71");

    in = input(QTime(8, 0), "", RepeatKind::Daily, 24);
    in.hours = true;
    EXPECT_EQ(composeRepeatField(in), "1440");
    EXPECT_EQ(composeRepeatField(input(QTime(8, 0), "", RepeatKind::Daily, 0)), "0");
    EXPECT_EQ(composeRepeatField(input(QTime(8, 0), "", RepeatKind::Daily, 90)), "90");

    // A monthly day is never stored as "-0", which would read back as a daily rule.
    EXPECT_EQ(composeRepeatField(input(QTime(8, 0), "", RepeatKind::Monthly, 0)), "-1");
    EXPECT_EQ(composeRepeatField(input(QTime(8, 0), "", RepeatKind::Monthly, 45)), "-31");
}

TEST(EventLine, ComposedLineIsCutAt255Characters)
{
    EventInput in = input(QTime(8, 0), "", RepeatKind::Daily, 0, QString(300, 'p'));
    in.hasNote = true;
    in.noteFile = "1260800.txt";
    const QString line = composeEventLine(in);
    EXPECT_EQ(line.size(), 255);
    // The cut fell into the note reference: readers find no note.
    const EventFields f = splitEventLine(line);
    EXPECT_TRUE(takeNoteReference(f.parameters, 255).noteFile.isEmpty());
}

TEST(EventLine, SplitsAtTheFirstThreeCommasOnly)
{
    EventFields f = splitEventLine("4:30 PM     ,clock.exe,0,");
    EXPECT_EQ(f.time, "4:30 PM     ");
    EXPECT_EQ(f.program, "clock.exe");
    EXPECT_EQ(f.repeat, "0");
    EXPECT_EQ(f.parameters, "");

    f = splitEventLine(" 09:00 AM    ,app,/23,a,b,,c[1.txt]");
    EXPECT_EQ(f.repeat, "/23");
    EXPECT_EQ(f.parameters, "a,b,,c[1.txt]");

    // Fewer commas: the field a missing comma would close is empty, the rest is parameters.
    f = splitEventLine("10:00,prog");
    EXPECT_EQ(f.time, "10:00");
    EXPECT_EQ(f.program, "");
    EXPECT_EQ(f.repeat, "");
    EXPECT_EQ(f.parameters, "prog");
    f = splitEventLine("no commas");
    EXPECT_FALSE(f.hasComma);
    EXPECT_EQ(f.time, "");
}

struct TimeCase
{
    const char* text;
    int value; // -1: not a time
};

class TimeParsing : public ::testing::TestWithParam<TimeCase>
{};

TEST_P(TimeParsing, ReadsEveryComposedFormAndRejectsTheRest)
{
    EXPECT_EQ(timeValue(QString::fromLatin1(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TimeParsing,
    ::testing::Values(TimeCase{" 09:30 AM    ", 930}, TimeCase{"01:05 PM    ", 1305},
                      TimeCase{"4:30 PM     ", 1630}, TimeCase{" 12:00 AM", 0}, TimeCase{"12:00 PM", 1200},
                      TimeCase{"12:30 am", 30}, TimeCase{"16:30", 1630}, TimeCase{"0:05", 5},
                      TimeCase{"4:30:59 PM", 1630}, TimeCase{"25:99 PM", -1}, TimeCase{"13:00 PM", -1},
                      TimeCase{"0:30 AM", -1}, TimeCase{"24:00", -1}, TimeCase{"10:60", -1}, TimeCase{"", -1},
                      TimeCase{"     ", -1}, TimeCase{"9.30 AM", -1}, TimeCase{"09:30 XM", -1},
                      TimeCase{"0930", -1}, TimeCase{"-1:30", -1}, TimeCase{"10:00 AM\n", -1},
                      TimeCase{"10:00\n", -1}, TimeCase{"\t9:30\tpm\t", 2130}, TimeCase{"09:30AM", 930},
                      TimeCase{"123:45", -1}, TimeCase{"9:3", -1}, TimeCase{"9:30:", -1},
                      TimeCase{"09:30 A", -1}, TimeCase{"\xb2:30", -1}));

TEST(EventLine, TimeErrorNamesTheText)
{
    EXPECT_EQ(invalidTimeMessage("25:99 PM"), "'25:99 PM' is not a valid time");
}

struct RepeatCase
{
    const char* field;
    QDate day;
    int expected;
};

class RepeatRules : public ::testing::TestWithParam<RepeatCase>
{};

TEST_P(RepeatRules, EvaluateForTheGivenDay)
{
    const RepeatCase& c = GetParam();
    EXPECT_EQ(RepeatRule(QString::fromLatin1(c.field)).intervalOn(c.day), c.expected)
        << c.field << " on " << c.day.toString().toStdString();
}

// 2026-12-07 is a Monday, 2026-12-05 a Saturday, 2026-12-06 a Sunday.
INSTANTIATE_TEST_SUITE_P(
    Days, RepeatRules,
    ::testing::Values(RepeatCase{"/246", QDate(2026, 12, 7), 0}, RepeatCase{"/246", QDate(2026, 12, 8), -1},
                      RepeatCase{"/246", QDate(2026, 12, 9), 0}, RepeatCase{"/246", QDate(2026, 12, 11), 0},
                      RepeatCase{"/71", QDate(2026, 12, 5), 0}, RepeatCase{"/71", QDate(2026, 12, 6), 0},
                      RepeatCase{"/71", QDate(2026, 12, 7), -1}, RepeatCase{"/", QDate(2026, 12, 7), -1},
                      RepeatCase{"", QDate(2026, 12, 7), -1}, RepeatCase{"x2", QDate(2026, 12, 7), 0},
                      RepeatCase{"-15", QDate(2026, 12, 15), 0}, RepeatCase{"-15", QDate(2026, 12, 16), -1},
                      RepeatCase{"-31", QDate(2026, 4, 30), -1}, RepeatCase{"-31", QDate(2026, 5, 1), -1},
                      RepeatCase{"-31", QDate(2026, 3, 31), 0}, RepeatCase{"-29", QDate(2027, 2, 28), -1},
                      RepeatCase{"-29", QDate(2028, 2, 29), 0}, RepeatCase{"0", QDate(2026, 12, 7), 0},
                      RepeatCase{"90", QDate(2026, 12, 7), 90}, RepeatCase{"1440", QDate(2026, 12, 7), 1440},
                      RepeatCase{"99999", QDate(2026, 12, 7), 1440},
                      RepeatCase{"-2147483648", QDate(2026, 12, 7), -1}));

TEST(EventLine, NoteReferenceIsTakenOffTheParameters)
{
    NoteReference r = takeNoteReference("someone[1260830.txt]", 20);
    EXPECT_EQ(r.parameters, "someone");
    EXPECT_EQ(r.noteFile, "1260830.txt");

    r = takeNoteReference("[1260830.TXT]", 255);
    EXPECT_EQ(r.parameters, "");
    EXPECT_EQ(r.noteFile, "1260830.TXT");

    // A "[" with no ".txt]" after it is plain text.
    r = takeNoteReference("a[b] c.txt", 255);
    EXPECT_EQ(r.parameters, "a[b] c.txt");
    EXPECT_TRUE(r.noteFile.isEmpty());
    r = takeNoteReference("x.txt] [y", 255);
    EXPECT_TRUE(r.noteFile.isEmpty());

    // Parameters that hold ".txt]" themselves keep the note appended after them.
    r = takeNoteReference("x.txt][1260830.txt]", 255);
    EXPECT_EQ(r.parameters, "x.txt]");
    EXPECT_EQ(r.noteFile, "1260830.txt");
    // Letters whose lower case is longer (U+0130) do not move where the reference is found.
    r = takeNoteReference(QString(8, QChar(0x130)) + ".txt][x", 255);
    EXPECT_TRUE(r.noteFile.isEmpty());
    EXPECT_EQ(r.parameters, QString(8, QChar(0x130)) + ".txt][x");

    // An earlier "[" of the parameters starts the reference, giving a name that is no file.
    r = takeNoteReference("a[1] b[1260830.txt]", 255);
    EXPECT_EQ(r.parameters, "a");
    EXPECT_EQ(r.noteFile, "1] b[1260830.txt");
}

TEST(EventLine, NoteReferenceNeverLeavesTheProgramFolder)
{
    for (const char* parms : {"[../../etc/passwd.txt]", "[/etc/x.txt]", "[a\\..\\b.txt]"}) {
        const NoteReference r = takeNoteReference(QString::fromLatin1(parms), 255);
        EXPECT_TRUE(r.noteFile.isEmpty()) << parms;
        EXPECT_EQ(r.parameters, "") << parms;
    }
    // A name cut down to the folder itself or its parent names no note either.
    EXPECT_TRUE(takeNoteReference("[..abc.txt]", 2).noteFile.isEmpty());
    EXPECT_TRUE(takeNoteReference("[.abc.txt]", 1).noteFile.isEmpty());
}

TEST(EventLine, CutsNeverSplitACharacter)
{
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    const QString line = QString(254, 'a') + face + "tail";
    EXPECT_EQ(cutText(line), QString(254, 'a'));
    EXPECT_EQ(cutText(QString(253, 'a') + face + "tail"), QString(253, 'a') + face);
    EXPECT_EQ(cutText("short"), "short");

    EventInput in = input(QTime(8, 0), "", RepeatKind::Daily, 0, QString(237, 'p') + face + "more");
    const QString composed = composeEventLine(in);
    EXPECT_EQ(composed, " 08:00 AM    ,,0," + QString(237, 'p'));
}

TEST(EventLine, FindsLinesWithoutRegardToLetterCase)
{
    const QStringList items{" 09:00 AM    ,a,0,", "10:00 PM    ,NOTEPAD,0,"};
    EXPECT_EQ(findLine(items, "10:00 pm    ,notepad,0,"), 1);
    EXPECT_EQ(findLine(items, " 09:00 AM    ,a,0,x"), -1);
}

TEST(EventLine, FillsTheFirstDatePlaceholderOnly)
{
    const QDate day(2026, 12, 6);
    EXPECT_EQ(fillDatePlaceholder("backup mm-dd-yy.zip", day), "backup 12-06-26.zip");
    EXPECT_EQ(fillDatePlaceholder("MM-DD-YY", day), "MM-DD-YY");
    EXPECT_EQ(fillDatePlaceholder("mm-dd-yy mm-dd-yy", QDate(2027, 1, 5)), "01-05-27 mm-dd-yy");
}
