// SPDX-License-Identifier: MIT
#pragma once
// The desktop's clipboard.

#include <QString>

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's contents with plain text.
    virtual void setText(const QString& text) = 0;
};
