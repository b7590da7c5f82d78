// SPDX-License-Identifier: MIT
#pragma once
// Stops typing into a text box at a number of characters; text set from code may be longer.

#include <QObject>

class QPlainTextEdit;

class TypingLimit : public QObject
{
    Q_OBJECT

public:
    TypingLimit(QPlainTextEdit* edit, int maxTyped);
    // Puts text into the box whole, whatever its length.
    void load(const QString& text);

private:
    void contentsChanged(int position, int removed, int added);

    QPlainTextEdit* edit;
    int maxTyped;
    int lengthBefore = 0;
    bool loading = false;
};
