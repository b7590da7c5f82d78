#pragma once
// Starts a program, opens a document, or hands an address to the program registered for it.

#include <QString>

class Launcher
{
public:
    virtual ~Launcher() = default;
    // Starts or opens file with the parameters, in folder (the working folder of a started
    // program), without waiting. Greater than 32 when something was started or opened.
    virtual int launch(const QString& file, const QString& parameters, const QString& folder,
                       int showMode) = 0;
};
