// SPDX-License-Identifier: MIT
#pragma once
// The hourly chime, and the signal a program gives as it starts: a beep, a short pause and,
// when the chime is on, the chime sound.

class Clock;
class Settings;
class Sound;

class Chime
{
public:
    Chime(Sound& sound, Clock& clock, Settings& settings);

    // Before a program starts: the beep, and the chime sound when the chime is on.
    void ring();
    // An hour began: the same, only when the chime is on.
    void strikeHour();

private:
    Sound& sound;
    Clock& clock;
    Settings& settings;
};
