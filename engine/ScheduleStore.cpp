// SPDX-License-Identifier: MIT
#include "engine/ScheduleStore.h"

#include "platform/ErrorBox.h"
#include "platform/Settings.h"
#include "platform/UserFile.h"
#include "schedule/Entry.h"
#include "schedule/EventLine.h"
#include "schedule/NoteFiles.h"
#include "schedule/ScheduleFile.h"
#include "schedule/ScheduleGuard.h"
#include "schedule/ScheduleWatcher.h"

#include <QFileInfo>
#include <QTimer>

namespace {

QStringList entriesFrom(ScheduleReader& reader, std::optional<QString> line)
{
    QStringList lines;
    for (; line && lines.size() < MaxEvents; line = reader.next()) {
        // A time field that is not a time comes only from editing the file by hand: skipped.
        if (Entry(*line).isValid())
            lines.append(*line);
    }
    return lines;
}

} // namespace

ScheduleStore::ScheduleStore(const QString& folder, Settings& settings, ErrorBox& errors, QObject* parent)
    : QObject(parent), folder(folder), settings(settings), errors(errors),
      guard(std::make_unique<ScheduleGuard>(filePath()))
{
    guard->reading();
}

ScheduleStore::~ScheduleStore() = default;

QString ScheduleStore::filePath() const
{
    return folder + QStringLiteral("Nudgeon.cfg");
}

bool ScheduleStore::exists() const
{
    const QFileInfo cfg(filePath());
    return cfg.exists() || cfg.isSymLink();
}

QStringList ScheduleStore::load()
{
    guard->reading();
    ScheduleReader reader(filePath());
    std::optional<QString> line = reader.next();
    lastReadProblem = reader.problem();
    tellLater(lastReadProblem);
    bool writeBack = false;
    if (!settings.load()) {
        // An older schedule file begins with two header lines, the second the chime flag.
        // A file without them, whose settings entry was lost, keeps all its events.
        Settings::Values values;
        std::optional<QString> second = line ? reader.next() : std::nullopt;
        if (second && !second->contains(QLatin1Char(','))) {
            values.chime = *second == QLatin1String("1");
            writeBack = true;
            line = reader.next();
        } else if (second) {
            reader.unread(*second);
        }
        settings.save(values);
    }

    const QStringList lines = entriesFrom(reader, line);
    if (writeBack)
        write(lines);
    return lines;
}

QStringList ScheduleStore::reread()
{
    guard->reading();
    ScheduleReader reader(filePath());
    const std::optional<QString> first = reader.next();
    lastReadProblem = reader.problem();
    tellLater(lastReadProblem);
    return entriesFrom(reader, first);
}

void ScheduleStore::tellLater(const QString& problem)
{
    // After the icon shows and the schedule runs: a message box waits for the user.
    if (!problem.isEmpty())
        QTimer::singleShot(0, this, [this, problem] { errors.showError(problem); });
}

bool ScheduleStore::hasChanged()
{
    return guard->changed();
}

bool ScheduleStore::write(const QStringList& lines)
{
    if (guard->changed()) {
        emit changedOnDisk();
        errors.showError(tr("The schedule file was changed by another program meanwhile. It has been "
                            "read again and nothing was saved: please make your change once more."));
        return false;
    }
    // The old file stays whole when the new one cannot be written; the user hears of it, as
    // the change then lives only until the program ends.
    const QByteArray bytes = scheduleBytes(lines);
    QString problem;
    if (UserFile::write(filePath(), bytes, &problem)) {
        guard->wrote(bytes);
        return true;
    }
    errors.showError(problem.isEmpty() ? cannotCreateMessage(filePath()) : problem);
    return false;
}

void ScheduleStore::watch()
{
    watcher = std::make_unique<ScheduleWatcher>(*guard);
    connect(watcher.get(), &ScheduleWatcher::changedOnDisk, this, &ScheduleStore::changedOnDisk);
}
