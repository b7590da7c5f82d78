// SPDX-License-Identifier: MIT
#pragma once
// The program's one way of starting a program, opening a document or an address.

#include "Launcher.h"

// Starts file with the parameters in folder, or opens it; texts reach the launcher whole.
Launcher::Result launchFile(Launcher& launcher, const QString& file, const QString& parameters,
                            const QString& folder);
