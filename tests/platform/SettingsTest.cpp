// SPDX-License-Identifier: MIT
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace {

const QString programPath = "/home/Ann/Tools/nudgeon";

QString stored(const FakePlatform& fakes, const QString& name)
{
    return fakes.store.values.value(Settings::uninstallKey + "|" + name);
}

} // namespace

TEST(Settings, AreSavedWithTheUninstallEntryAndReadBack)
{
    FakePlatform fakes(programPath);
    EXPECT_FALSE(fakes.settings.load().has_value());

    EXPECT_TRUE(fakes.settings.save({true, true}));
    EXPECT_EQ(stored(fakes, "Settings"), "1,A");
    EXPECT_EQ(stored(fakes, "DisplayName"), "Nudgeon");
    // The letter case of the path is kept: the file system tells cases apart.
    EXPECT_EQ(stored(fakes, "UninstallString"), programPath + " /uninstall");
    EXPECT_EQ(fakes.autostart.enabled, true);

    EXPECT_TRUE(fakes.settings.save({true, false}));
    EXPECT_EQ(stored(fakes, "Settings"), "1,0");
    EXPECT_EQ(fakes.autostart.enabled, false);

    const std::optional<Settings::Values> read = fakes.settings.load();
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->chime);
    EXPECT_FALSE(read->startAtLogOn);
    EXPECT_TRUE(fakes.errors.messages.isEmpty());
}

TEST(Settings, ARefusedWriteIsReportedAndStopsThere)
{
    FakePlatform fakes(programPath);
    fakes.store.refused.insert("Settings");
    EXPECT_FALSE(fakes.settings.save({false, true}));
    EXPECT_EQ(fakes.errors.messages, QStringList({"Failed to set data for 'Settings'"}));
    EXPECT_FALSE(fakes.autostart.enabled.has_value());

    FakePlatform refusing(programPath);
    refusing.autostart.refuse = true;
    EXPECT_FALSE(refusing.settings.save({false, true}));
    EXPECT_EQ(refusing.errors.messages, QStringList({"Failed to set data for 'Nudgeon'"}));
}

TEST(Settings, UninstallInAnyLetterCaseRemovesTheEntryAndLeavesTheLogOnStart)
{
    for (const QStringList& arguments : {QStringList{"/uninstall"}, QStringList{"/UnInstall", "x"}})
        EXPECT_TRUE(Settings::uninstallRequested(arguments)) << arguments.join(' ').toStdString();
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"uninstall"}, QStringList{"x", "/uninstall"}})
        EXPECT_FALSE(Settings::uninstallRequested(arguments)) << arguments.join(' ').toStdString();

    FakePlatform fakes(programPath);
    ASSERT_TRUE(fakes.settings.save({true, true}));
    fakes.store.values["Software/Other|Value"] = "kept";
    EXPECT_TRUE(fakes.settings.removeUninstallEntry());
    EXPECT_FALSE(fakes.store.keyExists(Settings::uninstallKey));
    EXPECT_FALSE(fakes.settings.load().has_value());
    EXPECT_EQ(fakes.store.values.value("Software/Other|Value"), "kept");
    EXPECT_EQ(fakes.autostart.enabled, true);
}

TEST(Settings, TextsReadAsTheyWereWritten)
{
    struct Case
    {
        const char* text;
        bool chime;
        bool autoStart;
    };
    for (const Case& c : {Case{"1,A", true, true}, Case{"0,A", false, true}, Case{"A", false, false},
                          Case{"11,A", true, false}, Case{"1,0", true, false}, Case{"0,0", false, false},
                          Case{"", false, false}, Case{"01,A", false, false}, Case{"1,a", true, false}}) {
        const Settings::Values v = Settings::fromText(QString::fromLatin1(c.text));
        EXPECT_EQ(v.chime, c.chime) << c.text;
        EXPECT_EQ(v.startAtLogOn, c.autoStart) << c.text;
    }
    for (bool chime : {false, true}) {
        for (bool autoStart : {false, true}) {
            const Settings::Values v = Settings::fromText(Settings::toText({chime, autoStart}));
            EXPECT_EQ(v.chime, chime);
            EXPECT_EQ(v.startAtLogOn, autoStart);
        }
    }
    EXPECT_EQ(Settings::toText({true, false}), "1,0");
    EXPECT_EQ(Settings::toText({false, true}), "0,A");
}
