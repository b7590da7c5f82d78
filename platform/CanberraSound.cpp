#include "CanberraSound.h"

CanberraSound::CanberraSound(const QStringList& searchDirs) : searchDirs(searchDirs) {}

CanberraSound::~CanberraSound() = default;

void CanberraSound::play(const QString&) {}

void CanberraSound::beep() {}
