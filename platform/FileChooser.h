#pragma once
// The desktop's dialog for choosing a file to open.

#include <QString>
#include <optional>

class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // Asks the user for an existing file; nothing when the user cancels.
    virtual std::optional<QString> chooseFile(const QString& title, const QString& filters) = 0;
};
