// SPDX-License-Identifier: MIT
#pragma once
// The schedule file "Nudgeon.cfg" in the program folder: reading it (an older file's header
// lines give the chime), writing it without ever overwriting a change made meanwhile, and the
// watch on it.

#include <QObject>
#include <QStringList>
#include <memory>

class ErrorBox;
class ScheduleGuard;
class ScheduleWatcher;
class Settings;

class ScheduleStore : public QObject
{
    Q_OBJECT

public:
    // folder: the program folder, with a trailing "/".
    ScheduleStore(const QString& folder, Settings& settings, ErrorBox& errors, QObject* parent = nullptr);
    ~ScheduleStore() override;

    QString filePath() const;
    // Whether there is a schedule to read. A link to a missing file (on a drive not mounted
    // yet) is a schedule that cannot be read, not a first start.
    bool exists() const;

    // The entries of the file: lines whose time field is a time, at most the schedule's size.
    // Loads the settings too; when their entry was lost, an older file's two header lines give
    // the chime, and the file is written again without them.
    QStringList load();
    // The file read again, as load reads it, nothing written.
    QStringList reread();
    // Why the file could not be read, or was read only in part, at the last load or reread;
    // empty when it was read whole or is missing.
    QString readProblem() const { return lastReadProblem; }
    // Whether the file changed on disk since the program last read or wrote it.
    bool hasChanged();
    // Writes the lines; tells the user and gives false when it could not, or when the file
    // changed on disk meanwhile (changedOnDisk is emitted first, for it to be read again).
    bool write(const QStringList& lines);
    // Starts watching the file for changes made by other programs.
    void watch();

signals:
    void changedOnDisk();

private:
    // Tells a problem met reading the file once the event loop runs.
    void tellLater(const QString& problem);

    QString folder;
    Settings& settings;
    ErrorBox& errors;
    std::unique_ptr<ScheduleGuard> guard;
    std::unique_ptr<ScheduleWatcher> watcher;
    QString lastReadProblem;
};
