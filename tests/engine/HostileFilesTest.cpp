// SPDX-License-Identifier: MIT
#include "EngineTest.h"

#include <QDir>
#include <QFile>

namespace {

struct HostileCase
{
    const char* file;
    int entries; // -1: any number the rules allow
};

class HostileFiles : public EngineTest, public ::testing::WithParamInterface<HostileCase>
{
protected:
    QByteArray hostile() const
    {
        QFile f(QStringLiteral(NUDGEON_TEST_DATA "/hostile/") + QString::fromLatin1(GetParam().file));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << GetParam().file;
        return f.readAll();
    }

    // What must hold after any load, at any time of day.
    void expectSoundState()
    {
        EXPECT_LE(lines().size(), MaxEvents);
        EXPECT_EQ(lines().size(), lines().size());
        for (const QString& line : lines())
            EXPECT_LE(line.size(), MaxLineLength);
        for (const QTime& t : {QTime(0, 0), QTime(9, 30), QTime(23, 59)}) {
            fakes.clock.setTime(t);
            form->tick();
            EXPECT_LT(form->status().size(), 64);
        }
    }
};

} // namespace

TEST_P(HostileFiles, LoadWhatTheRulesAllowAndLeaveTheFileAlone)
{
    const QByteArray bytes = hostile();
    haveSettings("0,0");
    writeCfg(bytes);
    start();
    if (GetParam().entries >= 0) {
        EXPECT_EQ(lines().size(), GetParam().entries);
    }
    expectSoundState();
    EXPECT_EQ(cfgBytes(), bytes);
    EXPECT_TRUE(fakes.errors.messages.isEmpty());
}

TEST_P(HostileFiles, WithoutSettingsOnlyAHeaderIsEverDropped)
{
    const QByteArray bytes = hostile();
    writeCfg(bytes);
    start();
    expectSoundState();
    if (fakes.settings.current().chime || cfgBytes() != bytes) {
        // Rewritten: then the file had the old header form, and only the header went.
        const QList<QByteArray> lines = bytes.split('\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_FALSE(lines[1].contains(','));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, HostileFiles,
    ::testing::Values(HostileCase{"binary-garbage.cfg", -1}, HostileCase{"thousand-lines.cfg", 30},
                      HostileCase{"no-commas.cfg", 1}, HostileCase{"bad-times.cfg", 1},
                      HostileCase{"lf-only.cfg", 2}, HostileCase{"cr-only.cfg", 2},
                      HostileCase{"nul-byte.cfg", 2}, HostileCase{"utf8-and-latin1.cfg", 2},
                      HostileCase{"header-missing-lines.cfg", 0}, HostileCase{"header-only.cfg", 0},
                      HostileCase{"odd-repeat-fields.cfg", 5}, HostileCase{"long-fields.cfg", 1},
                      HostileCase{"traversal-note.cfg", 2}),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.file).section('.', 0, 0);
        return name.replace('-', '_').toStdString();
    });

TEST_F(EngineTest, HostileFilesReadAsTheirTextSays)
{
    haveSettings("0,0");
    QFile latin(QStringLiteral(NUDGEON_TEST_DATA "/hostile/utf8-and-latin1.cfg"));
    ASSERT_TRUE(latin.open(QIODevice::ReadOnly));
    writeCfg(latin.readAll());
    start();
    ASSERT_EQ(lines().size(), 2);
    EXPECT_EQ(lines()[0], QString::fromUtf8(" 09:30 AM    ,,0,café ☕"));
    EXPECT_EQ(lines()[1], QString::fromUtf8("10:00 PM    ,,0,café"));
}

TEST_F(EngineTest, ATenMegabyteLineIsCutAndTheRestStillLoads)
{
    haveSettings("0,0");
    QByteArray bytes = " 09:30 AM    ,,0," + QByteArray(10 * 1024 * 1024, 'x') + "\r\n10:00 PM    ,,0,\r\n";
    writeCfg(bytes);
    start();
    ASSERT_EQ(lines().size(), 2);
    EXPECT_EQ(lines()[0].size(), MaxLineLength);
    fakes.clock.setTime(QTime(21, 0));
    form->refreshStatus();
    EXPECT_EQ(form->nextLine(), lines()[1]);
    EXPECT_EQ(cfgBytes().size(), bytes.size());
}
