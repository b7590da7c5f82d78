// SPDX-License-Identifier: MIT
#pragma once
// Where the program lives and where it keeps its schedule and notes.

#include <QString>

struct ProgramPaths
{
    // The program's own file, letter case as found.
    QString programPath;
    // The folder that holds the schedule file and the notes, with a trailing "/".
    QString pgmDir;

    // The executable's folder when the user may write there; otherwise (a system-wide
    // install) the per-user data folder, made when it is missing.
    static ProgramPaths forExecutable(const QString& executablePath);
};

// The folder part of a path up to and including the last "/"; empty when there is none.
QString folderPart(const QString& path);
// The part of a path after the last "/".
QString namePart(const QString& path);
// Where one of the program's helper programs lies: beside the executable (a build folder or a
// copy installed by hand), else in the helper folder of a system-wide install; its bare name,
// for the launcher to look for, when it is in neither.
QString helperProgram(const QString& executablePath, const QString& name);
