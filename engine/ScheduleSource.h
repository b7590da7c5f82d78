// SPDX-License-Identifier: MIT
#pragma once
// What the setup dialog sees of the engine: the schedule to list, and where its edits go.

#include "schedule/Entry.h"

#include <QList>
#include <QObject>
#include <QStringList>

class ScheduleSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QList<Entry> entries() const = 0;
    // The line of the entry due next today; the first line when none is.
    virtual QString nextLine() const = 0;
    // Whether the entry of this line falls due (again) later today.
    virtual bool isDueToday(const QString& line) const = 0;
    // The note name of the entry that fell due last; empty when it had none.
    virtual QString lastNote() const = 0;
    // Reads the schedule file again when it changed on disk; true when it did.
    virtual bool reloadIfChanged() = 0;
    // Makes the schedule these lines and writes it; false when it could not be written.
    virtual bool applyEdits(const QStringList& lines) = 0;
    // Works out the entry due next and the status text again.
    virtual void refreshStatus() = 0;
    virtual bool isClosed() const = 0;

signals:
    // The schedule was read again from the file.
    void scheduleReloaded();
};
