// SPDX-License-Identifier: MIT
#pragma once
// Watches the schedule file for changes made by someone else while the program runs.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class ScheduleGuard;

// Watches the schedule file and its folder, and signals when the file differs from what the
// program last read or wrote. An editor that saves by renaming a new file over the old one is
// followed: the watch moves to the new file. A change is told once the file has been quiet for a
// moment, so that a file written in several steps is read whole.
class ScheduleWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ScheduleWatcher(ScheduleGuard& guard, QObject* parent = nullptr);

    // How long the file must stay quiet before a change is told, in milliseconds.
    static constexpr int QuietMs = 200;

signals:
    void changedOnDisk();

private:
    void arm();
    void settle();

    ScheduleGuard& guard;
    QFileSystemWatcher watcher;
    QTimer quiet;
};
