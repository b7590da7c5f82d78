// SPDX-License-Identifier: MIT
#pragma once
// An engine on fakes, with its program folder in a temporary folder.

#include "Fakes.h"
#include "Scheduler.h"

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

    // Starts the engine; every entry that falls due is written down in ran.
    Scheduler& start()
    {
        form = std::make_unique<Scheduler>(fakes.platform(), state, paths());
        form->setTray(&tray);
        form->setFirstStartHook([this] { ++firstStarts; });
        QObject::connect(form.get(), &Scheduler::due, [this](const DueEntry& e) {
            ran.append(e);
            if (whenDue)
                whenDue(e);
        });
        form->TimeInit();
        return *form;
    }

    // Ticks as the timer would, at the given time of today.
    void tickAt(const QTime& t)
    {
        fakes.clock.setTime(t);
        form->DoTime();
    }
    void tickAt(const QDateTime& t)
    {
        fakes.clock.set(t);
        form->DoTime();
    }
    // Ticks from the given time on at the intervals the engine sets, up to the end.
    void tickUntil(QDateTime next, const QDateTime& end)
    {
        while (next < end) {
            tickAt(next);
            next = fakes.clock.now().addMSecs(form->interval());
        }
    }

    // The texts of the entries that fell due, in order; a late one is marked so.
    QStringList ranTexts() const
    {
        QStringList texts;
        for (const DueEntry& e : ran)
            texts.append(splitEventLine(e.line).parameters + (e.late ? QStringLiteral(" late") : QString()));
        return texts;
    }

    QTemporaryDir dir;
    FakePlatform fakes{paths().programPath};
    FakeTray tray;
    ScheduleState state;
    std::unique_ptr<Scheduler> form;
    QList<DueEntry> ran;
    std::function<void(const DueEntry&)> whenDue;
    int firstStarts = 0;
};
