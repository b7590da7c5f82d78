#pragma once

#include "Sound.h"

#include <QStringList>

// Sounds through libcanberra, the desktop's event-sound library.
class CanberraSound : public Sound
{
public:
    // A bare file name is looked for in the current folder, then in each of searchDirs.
    explicit CanberraSound(const QStringList& searchDirs);
    ~CanberraSound() override;

    void play(const QString& fileName) override;
    void beep() override;

private:
    QStringList searchDirs;
};
