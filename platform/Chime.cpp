// SPDX-License-Identifier: MIT
#include "platform/Chime.h"

#include "platform/Clock.h"
#include "platform/Settings.h"
#include "platform/Sound.h"

Chime::Chime(Sound& sound, Clock& clock, Settings& settings) : sound(sound), clock(clock), settings(settings)
{}

void Chime::ring()
{
    sound.beep();
    clock.sleep(100);
    if (settings.current().chime)
        sound.play(QStringLiteral("Nudgeon.wav"));
}

void Chime::strikeHour()
{
    if (settings.current().chime)
        ring();
}
