#pragma once
// The program's one way of starting a program, opening a document or an address.

#include <QString>

class Launcher;

// Starts file with the parameters in folder, or opens it; texts reach the launcher whole.
// Greater than 32 when something was started or opened.
int LaunchFile(Launcher& launcher, const QString& file, const QString& parameters, const QString& folder,
               int showMode);

// The show mode of every launch: show the window normally.
constexpr int SW_SHOW = 5;
