// SPDX-License-Identifier: MIT
#pragma once
// Whether the program starts when the user logs on.

class Autostart
{
public:
    virtual ~Autostart() = default;
    // Starts the program at every log-on from now on, or no longer; false when that could not
    // be set.
    virtual bool setEnabled(bool enabled) = 0;
};
