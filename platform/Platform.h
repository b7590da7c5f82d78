// SPDX-License-Identifier: MIT
#pragma once
// The platform services the engine is given; the program passes its real ones, tests their fakes.

class Clock;
class Sound;
class ErrorBox;
class Settings;

struct Platform
{
    Clock& clock;
    Sound& sound;
    ErrorBox& errors;
    Settings& settings;
};
