// SPDX-License-Identifier: MIT
#pragma once
// Keeps the program to one running copy per user.

#include <QString>

class InstanceGuard
{
public:
    enum class Claim
    {
        Ours,          // this process is now the only running copy
        HeldElsewhere, // another copy runs
        Failed,        // the guard could not be set up; failure() says why
    };

    virtual ~InstanceGuard() = default;
    // Makes this process the running copy if no other is.
    virtual Claim claim() = 0;
    // Why the last claim failed, in words for the user.
    virtual QString failure() const = 0;
};
