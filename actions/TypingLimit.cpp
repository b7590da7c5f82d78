// SPDX-License-Identifier: MIT
#include "actions/TypingLimit.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace {

int length(const QPlainTextEdit* edit)
{
    return edit->document()->characterCount() - 1;
}

} // namespace

TypingLimit::TypingLimit(QPlainTextEdit* edit, int maxTyped) : QObject(edit), edit(edit), maxTyped(maxTyped)
{
    connect(edit->document(), &QTextDocument::contentsChange, this, &TypingLimit::contentsChanged);
}

void TypingLimit::load(const QString& text)
{
    loading = true;
    edit->setPlainText(text);
    loading = false;
    lengthBefore = length(edit);
}

void TypingLimit::contentsChanged(int position, int, int added)
{
    // A text longer than the limit can still be shortened, but not made longer.
    const int excess = length(edit) - qMax(maxTyped, lengthBefore);
    if (!loading && added > 0 && excess > 0) {
        const int cut = qMin(excess, added);
        QTextCursor cursor(edit->document());
        cursor.setPosition(position + added - cut);
        cursor.setPosition(position + added, QTextCursor::KeepAnchor);
        loading = true;
        cursor.removeSelectedText();
        loading = false;
    }
    lengthBefore = length(edit);
}
