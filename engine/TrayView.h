// SPDX-License-Identifier: MIT
#pragma once
// The engine's view of its tray icon.

#include <QString>

class TrayView
{
public:
    virtual ~TrayView() = default;
    // Puts the icon in the tray with the given tip.
    virtual void add(const QString& tip) = 0;
    // Refreshes the icon and its tip; nothing happens before the icon was added.
    virtual void modify(const QString& tip) = 0;
    // Takes the icon out of the tray; taking it out twice is harmless.
    virtual void remove() = 0;
};
