// SPDX-License-Identifier: MIT
#pragma once
// Starts a program, opens a document, or hands an address to the program registered for it.

#include <QString>
#include <functional>

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

    // What was done, and in words why nothing could be.
    struct Attempt
    {
        Result result = Result::Started;
        QString reason;
    };

    // How a started program ended.
    struct Exit
    {
        int status = 0;
        // The signal that ended it; 0 when it exited.
        int signal = 0;
        double seconds = 0;
        // The last lines it wrote to its error output.
        QString errorOutput;
    };
    using ExitHandler = std::function<void(const Exit&)>;

    virtual ~Launcher() = default;
    // Starts or opens file with the parameters, in folder (the working folder of a started
    // program), without waiting.
    virtual Result launch(const QString& file, const QString& parameters, const QString& folder) = 0;
    // As launch; a started program's end is handed to onExit when it ends while the launcher
    // lives. The program does not depend on the launcher: it keeps running when it is gone.
    virtual Attempt start(const QString& file, const QString& parameters, const QString& folder,
                          ExitHandler onExit)
    {
        Q_UNUSED(onExit);
        return {launch(file, parameters, folder), {}};
    }
};
