// SPDX-License-Identifier: MIT
// The setup dialog's new schedule: every entry keeps its state by its text, wherever it moves.

#include "tests/support/EngineTest.h"

namespace {

const QString A = " 10:00 AM    ,,0,a";
const QString B = " 10:00 AM    ,,0,b";
const QString C = " 10:01 AM    ,,0,c[c.txt]";
const QString D = " 10:02 AM    ,,30,d";

class ReplaceEntries : public EngineTest
{
protected:
    void SetUp() override
    {
        haveSettings("0,0");
        writeCfg((QStringList{A, B, C, D}.join("\r\n") + "\r\n").toUtf8());
        fakes.clock.setTime(QTime(9, 59, 58));
        start();
        tickUntil(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 1)),
                  QDateTime(QDate(2026, 12, 7), QTime(10, 3)));
        ASSERT_EQ(ranTexts(), QStringList({"a", "b", "c[c.txt]", "d"}));
        form->snooze(C, "c.txt", 30);
    }
};

} // namespace

TEST_F(ReplaceEntries, LinesThatMoveKeepWhatRanTheirSnoozeAndTheirSeries)
{
    const QString N = " 09:00 AM    ,,0,new";
    form->replaceEntries({N, A, C, D});
    EXPECT_EQ(lines(), QStringList({N, A, C, D}));
    EXPECT_EQ(lines().size(), 4);
    EXPECT_FALSE(form->isDueToday(A));
    EXPECT_TRUE(form->isDueToday(C)); // its snooze
    EXPECT_TRUE(form->isDueToday(D));
    ran.clear();
    tickUntil(QDateTime(QDate(2026, 12, 7), QTime(10, 3, 1)), QDateTime(QDate(2026, 12, 7), QTime(11, 0)));
    EXPECT_EQ(ranTexts(), QStringList({"c[c.txt]", "d"}));
    EXPECT_EQ(ran[0].due.time(), QTime(10, 32));
}

TEST_F(ReplaceEntries, AChangedLineStartsAfreshAndKeepsItsNotesSnooze)
{
    const QString C2 = " 10:01 AM    ,,0,changed[c.txt]";
    form->replaceEntries({A, "10:00 AM    ,,0,b", C2, D.toUpper()});
    // A different letter case is the same entry.
    EXPECT_FALSE(form->isDueToday(lines()[0]));
    EXPECT_TRUE(fakes.store.keyExists(Settings::snoozedKey));
    ran.clear();
    tickUntil(QDateTime(QDate(2026, 12, 7), QTime(10, 3, 1)), QDateTime(QDate(2026, 12, 7), QTime(10, 40)));
    EXPECT_EQ(ranTexts(), QStringList({"changed[c.txt]", "D"}));

    // A deleted entry takes its pending snooze along.
    form->snooze(C2, "c.txt", 5);
    form->replaceEntries({A});
    EXPECT_FALSE(fakes.store.keyExists(Settings::snoozedKey));
}
