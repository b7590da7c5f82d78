// SPDX-License-Identifier: MIT
#include "Launch.h"

Launcher::Result launchFile(Launcher& launcher, const QString& file, const QString& parameters,
                            const QString& folder)
{
    return launcher.launch(file, parameters, folder);
}
