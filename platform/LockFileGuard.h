// SPDX-License-Identifier: MIT
#pragma once

#include "platform/InstanceGuard.h"

#include <QCoreApplication>
#include <QString>

// One copy per user: a lock held on a file in the user's private runtime folder. The system
// lets go of the lock when its process ends, however it ends, so a file left behind by a copy
// that crashed keeps no one out.
class LockFileGuard : public InstanceGuard
{
    Q_DECLARE_TR_FUNCTIONS(LockFileGuard)

public:
    // Where the lock goes, or why no folder for it can be trusted.
    struct Place
    {
        QString lockPath;
        QString problem; // empty when lockPath can be used
    };

    explicit LockFileGuard(const QString& lockPath);
    ~LockFileGuard() override;
    LockFileGuard(const LockFileGuard&) = delete;
    LockFileGuard& operator=(const LockFileGuard&) = delete;

    Claim claim() override;
    QString failure() const override;

    // $XDG_RUNTIME_DIR when it is a folder only this user can change; otherwise Nudgeon/run in
    // the user's state folder ($XDG_STATE_HOME or ~/.local/state), made private when missing.
    static Place defaultPlace();
    // Why the folder at path cannot be trusted with the lock and the hand-over socket (it is
    // missing, a link, not a folder, another user's, or open to others' changes); empty when it
    // can.
    static QString folderProblem(const QString& path);

private:
    QString lockPath;
    int fd = -1;
    QString lastFailure;
};
