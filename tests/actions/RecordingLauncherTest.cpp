// SPDX-License-Identifier: MIT
#include "actions/RecordingLauncher.h"
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

TEST(RecordingLauncher, EachLaunchAndEachEndBecomesAFiringOfTheEntryBeingRun)
{
    using O = Firing::Outcome;
    using R = Launcher::Result;
    const QString mail = "/usr/libexec/nudgeon/DARIZIZ.EXE";
    const struct
    {
        QString file;
        R result;
        // The exit status the program ends with; -1: it does not end while watched.
        int status;
        QList<O> outcomes;
    } cases[] = {
        {"backup.sh", R::Started, -1, {O::Started}},
        {"backup.sh", R::Started, 0, {O::Started, O::Exited}},
        {"backup.sh", R::Started, 3, {O::Started, O::Exited}},
        {"missing.sh", R::NotFound, -1, {O::NotStarted}},
        {mail, R::Started, 0, {O::MailSent}},
        {mail, R::Started, 1, {O::MailKept}},
        {mail, R::Started, 2, {O::Exited}},
        {mail, R::NotAllowed, -1, {O::NotStarted}},
    };
    for (const auto& c : cases) {
        FakeLauncher inner;
        inner.result = c.result;
        inner.reason = "\"missing.sh\" is not there";
        FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 2)));
        QList<Firing> firings;
        RecordingLauncher launcher(inner, clock, mail, [&](const Firing& f) { firings.append(f); });
        const DueEntry entry{Entry("09:00 AM," + c.file + ",,"), QDateTime(QDate(2026, 12, 7), QTime(9, 0)),
                             false};
        launcher.setEntry(entry);
        int exits = 0;
        EXPECT_EQ(launcher.start(c.file, "", "/tmp", [&](const Launcher::Exit&) { ++exits; }).result,
                  c.result);
        if (c.status >= 0)
            inner.end(0, {c.status, 0, 1.5, "last words"});
        QList<O> outcomes;
        for (const Firing& f : firings) {
            outcomes.append(f.outcome);
            EXPECT_EQ(f.line, entry.entry.line());
            EXPECT_EQ(f.due, entry.due);
            EXPECT_EQ(f.ran, clock.now());
        }
        EXPECT_EQ(outcomes, c.outcomes) << c.file.toStdString() << " " << c.status;
        EXPECT_EQ(exits, c.status >= 0 ? 1 : 0);
        const Firing& last = firings.last();
        EXPECT_EQ(last.failed(), c.result != R::Started || c.status > 0) << c.file.toStdString();
        if (last.outcome == O::NotStarted) {
            EXPECT_EQ(last.reason, "\"missing.sh\" is not there");
        }
        if (c.status >= 0) {
            EXPECT_EQ(last.status, c.status);
            EXPECT_EQ(last.errorOutput, "last words");
        }
    }
}
