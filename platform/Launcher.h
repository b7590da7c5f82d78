// SPDX-License-Identifier: MIT
#pragma once
// Starts a program, opens a document, or hands an address to the program registered for it.

#include <QString>

class Launcher
{
public:
    enum class Result
    {
        // The program was started, or the document or address handed to its program.
        Started,
        // No such file, or no program to open it with.
        NotFound,
        // The file is there but may not be started or opened.
        NotAllowed,
    };

    virtual ~Launcher() = default;
    // Starts or opens file with the parameters, in folder (the working folder of a started
    // program), without waiting.
    virtual Result launch(const QString& file, const QString& parameters, const QString& folder) = 0;
};
