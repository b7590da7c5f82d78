// SPDX-License-Identifier: MIT
#pragma once
// Fire-and-forget sounds: a sound file, or the desktop's default event sound.

#include <QString>

class Sound
{
public:
    virtual ~Sound() = default;
    // Starts playing a sound file and returns at once; a file that cannot be
    // found or played gives the default event sound instead.
    virtual void play(const QString& fileName) = 0;
    // The desktop's default event sound (the "bell").
    virtual void beep() = 0;
};
