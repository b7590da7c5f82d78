// SPDX-License-Identifier: MIT
#pragma once

#include "InstanceGuard.h"

#include <QLockFile>
#include <QString>
#include <memory>

// One copy per user: a lock file in the user's runtime folder. A lock left behind by a
// copy that crashed names a process that no longer runs and is taken over.
class LockFileGuard : public InstanceGuard
{
public:
    // The lock file in $XDG_RUNTIME_DIR (or the temporary folder when that is unset).
    LockFileGuard();
    explicit LockFileGuard(const QString& lockPath);
    bool claim() override;

    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> lock;
};
