#pragma once
// The sticky note that pops up when an entry with a note falls due.

#include "NoteWindow.h"

#include <QMenu>
#include <QWidget>
#include <memory>

namespace Ui {
class TMemoForm;
}

class ErrorBox;
class TTimerForm;
class TypingLimit;

class TMemoForm : public QWidget, public NoteWindow
{
    Q_OBJECT

public:
    TMemoForm(TTimerForm& timerForm, ErrorBox& errors);
    ~TMemoForm() override;

    void showAndWait(const QString& text, const QString& path, const QString& timeText) override;

    // The menu of the menu icon.
    QMenu* menu() const { return MemoMenu.get(); }
    Ui::TMemoForm* form() const { return ui.get(); }

    // Opens the menu beside the menu icon.
    void ShowMenu();
    // Lets the user edit the note.
    void EditMenu();
    // Writes the note back to its file and returns to reading.
    void SaveClick();
    // Hides the note.
    void CloseIt();
    // Puts the note off by the delay of the chosen snooze item and hides it.
    void Delay(QAction* item);

    // Typing stops at this many characters; a longer note still loads and saves whole.
    static constexpr int MaxTyped = 512;
    // The delays of the snooze items in menu order, in minutes.
    static const int SnoozeMinutes[8];

signals:
    void hidden();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::unique_ptr<Ui::TMemoForm> ui;
    std::unique_ptr<QMenu> MemoMenu;
    std::unique_ptr<QMenu> SnooseMenu;
    TTimerForm& timerForm;
    ErrorBox& errors;
    TypingLimit* typingLimit = nullptr;
};
