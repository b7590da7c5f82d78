#pragma once
// An engine on fakes, with its program folder in a temporary folder.

#include "Fakes.h"
#include "Timer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class EngineTest : public ::testing::Test
{
protected:
    // 2026-12-07 is a Monday.
    EngineTest() { fakes.clock.set(QDate(2026, 12, 7), QTime(9, 0)); }

    ProgramPaths paths() const
    {
        return ProgramPaths{dir.path() + QStringLiteral("/Tools/nudgeon"), dir.path() + QStringLiteral("/")};
    }
    QString cfgPath() const { return dir.filePath(QStringLiteral("Nudgeon.cfg")); }

    void writeCfg(const QByteArray& bytes)
    {
        QFile f(cfgPath());
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QByteArray cfgBytes() const
    {
        QFile f(cfgPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void haveSettings(const QString& text)
    {
        fakes.store.values[Settings::uninstallKey + QStringLiteral("|Settings")] = text;
    }

    TTimerForm& start()
    {
        form = std::make_unique<TTimerForm>(fakes.platform(), state, paths());
        form->setTray(&tray);
        form->setFirstStartHook([this] { ++firstStarts; });
        form->TimeInit();
        return *form;
    }

    // Ticks as the timer would, at the given time of today.
    void tickAt(const QTime& t)
    {
        fakes.clock.setTime(t);
        form->DoTime();
    }

    QTemporaryDir dir;
    FakePlatform fakes{paths().programPath};
    FakeTray tray;
    ScheduleState state;
    std::unique_ptr<TTimerForm> form;
    int firstStarts = 0;
};
