// SPDX-License-Identifier: MIT
#pragma once
// An engine on fakes, with its program folder in a temporary folder.

#include "engine/ScheduleStore.h"
#include "engine/Scheduler.h"
#include "platform/Chime.h"
#include "platform/ProgramPaths.h"
#include "schedule/EventLine.h"
#include "tests/support/Fakes.h"
#include "tests/support/Files.h"

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

    void writeCfg(const QByteArray& bytes) { ASSERT_TRUE(writeFile(cfgPath(), bytes)); }
    QByteArray cfgBytes() const { return readFile(cfgPath(), QByteArray()); }
    void haveSettings(const QString& text)
    {
        fakes.store.values[Settings::uninstallKey + QStringLiteral("|Settings")] = text;
    }

    // Starts the engine, wired to the tray and the chime as the program wires them; every entry
    // that falls due is written down in ran.
    Scheduler& start()
    {
        form.reset();
        scheduleStore = std::make_unique<ScheduleStore>(paths().pgmDir, fakes.settings, fakes.errors);
        form = std::make_unique<Scheduler>(fakes.platform(), *scheduleStore);
        form->setFirstStartHook([this] { ++firstStarts; });
        QObject::connect(form.get(), &Scheduler::started, [this](const QString& tip) { tray.add(tip); });
        QObject::connect(form.get(), &Scheduler::statusChanged,
                         [this](const QString& tip) { tray.modify(tip); });
        QObject::connect(form.get(), &Scheduler::closedDown, [this] { tray.remove(); });
        QObject::connect(form.get(), &Scheduler::hourStarted, [this] { chime.strikeHour(); });
        QObject::connect(form.get(), &Scheduler::due, [this](const DueEntry& e) {
            ran.append(e);
            if (whenDue)
                whenDue(e);
        });
        form->start();
        return *form;
    }

    // Ticks as the timer would, at the given time of today.
    void tickAt(const QTime& t)
    {
        fakes.clock.setTime(t);
        form->tick();
    }
    void tickAt(const QDateTime& t)
    {
        fakes.clock.set(t);
        form->tick();
    }
    // Ticks from the given time on at the intervals the engine sets, up to the end.
    void tickUntil(QDateTime next, const QDateTime& end)
    {
        while (next < end) {
            tickAt(next);
            next = fakes.clock.now().addMSecs(form->interval());
        }
    }

    // The schedule's lines as the engine holds them.
    QStringList lines() const
    {
        QStringList list;
        for (const Entry& e : form->entries())
            list.append(e.line());
        return list;
    }

    // The texts of the entries that fell due, in order; a late one is marked so.
    QStringList ranTexts() const
    {
        QStringList texts;
        for (const DueEntry& e : ran)
            texts.append(splitEventLine(e.entry.line()).parameters +
                         (e.late ? QStringLiteral(" late") : QString()));
        return texts;
    }

    QTemporaryDir dir;
    FakePlatform fakes{paths().programPath};
    FakeTray tray;
    Chime chime{fakes.sound, fakes.clock, fakes.settings};
    std::unique_ptr<ScheduleStore> scheduleStore;
    std::unique_ptr<Scheduler> form;
    QList<DueEntry> ran;
    std::function<void(const DueEntry&)> whenDue;
    int firstStarts = 0;
};
