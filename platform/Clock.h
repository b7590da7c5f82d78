// SPDX-License-Identifier: MIT
#pragma once
// The wall clock the engine reads; tests hand in a clock they can set.

#include <QDateTime>

class Clock
{
public:
    virtual ~Clock() = default;
    // Local date and time now.
    virtual QDateTime now() const = 0;
    // Holds the calling thread for the given milliseconds.
    virtual void sleep(int ms) = 0;
};
