// SPDX-License-Identifier: MIT
#pragma once
// Keeps the program to one running copy per user.

class InstanceGuard
{
public:
    virtual ~InstanceGuard() = default;
    // True when this process is now the only running copy; false when another runs.
    virtual bool claim() = 0;
};
