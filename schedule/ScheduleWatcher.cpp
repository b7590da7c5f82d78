// SPDX-License-Identifier: MIT
#include "schedule/ScheduleWatcher.h"

#include "schedule/ScheduleGuard.h"

#include <QFileInfo>

ScheduleWatcher::ScheduleWatcher(ScheduleGuard& guard, QObject* parent) : QObject(parent), guard(guard)
{
    quiet.setSingleShot(true);
    quiet.setInterval(QuietMs);
    const auto wake = [this] {
        quiet.start();
    };
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, wake);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, wake);
    connect(&quiet, &QTimer::timeout, this, &ScheduleWatcher::settle);
    arm();
}

void ScheduleWatcher::arm()
{
    // A file replaced by a rename is no longer watched: its successor is. A missing file is
    // watched for through its folder.
    const QString folder = QFileInfo(guard.path()).absolutePath();
    if (!folder.isEmpty() && !watcher.directories().contains(folder) && QFileInfo(folder).isDir())
        watcher.addPath(folder);
    if (!watcher.files().contains(guard.path()) && QFileInfo(guard.path()).isFile())
        watcher.addPath(guard.path());
}

void ScheduleWatcher::settle()
{
    arm();
    if (guard.changed())
        emit changedOnDisk();
}
