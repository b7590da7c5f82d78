// SPDX-License-Identifier: MIT
#pragma once
// The setup dialog: the schedule as a sorted list, and the controls of one entry.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class SetupDialog;
}

class Clock;
class Entry;
class ErrorBox;
class FileChooser;
class RepeatRule;
class ScheduleSource;
class Settings;
class TypingLimit;
class QAbstractButton;

class SetupDialog : public QDialog
{
    Q_OBJECT

public:
    struct Services
    {
        Clock& clock;
        ErrorBox& errors;
        FileChooser& files;
        Settings& settings;
        // Opens the help page.
        std::function<void()> help;
        // The program folder, where the notes are.
        QString noteFolder;
    };

    // newEntriesOnly: the dialog only adds entries, the list is not offered.
    SetupDialog(ScheduleSource& schedule, const Services& services, bool newEntriesOnly = false,
                QWidget* parent = nullptr);
    ~SetupDialog() override;

    // Shows the dialog on the schedule, without blocking other windows, and brings the engine
    // up to date once it is closed. While a dialog is open it is brought forward instead.
    static void openOn(ScheduleSource& schedule, const Services& services, bool newEntriesOnly);
    static bool isOpen();
    // Closes the dialog open, as its Close button does; nothing when none is.
    static void closeOpen();

    // Fills the list from the schedule and loads the entry due next, as opening does.
    void fill();
    // Fills the list again from a schedule read anew; the entry chosen stays chosen while it is
    // listed, and what is typed in the controls stays.
    void refreshList();

    Ui::SetupDialog* form() const { return ui.get(); }
    QString noteFile() const { return noteFileName; }
    bool isNewEntriesOnly() const { return newEntriesOnly; }

    // The list's rows show what each entry does; each row holds its line in this role.
    static constexpr int LineRole = Qt::UserRole;

    // Typing in the note stops at this many characters.
    static constexpr int MaxNoteTyped = 1024;

protected:
    bool event(QEvent* event) override;

private:
    void fitListWidth();
    // Fixes the dialog's size at what the form needs now, never less than it has.
    void fitToForm();
    // The user chose another entry in the list: its fields are loaded into the controls.
    void entryChosen();
    void loadEntry();
    void addEntry();
    void updateEntry();
    void deleteEntry();
    // Saves the note and enters the line composed from the controls into the list; false
    // when the note could not be saved.
    bool composeEntry();
    // Hands the list and the settings back to the engine and writes the schedule.
    void saveSchedule();
    // A control was changed: Update (and Add) become possible.
    void markChanged();
    void updateButtons();
    void setTimeToNow();
    void showRepeatKind();
    void switchRepeatUnit();
    void browseForProgram();
    void toggleMail();
    void showHelp();

    int selectedRow() const;
    void selectRow(int row);
    // The lines of the list's rows, in the list's order.
    QStringList items() const;
    QString lineAt(int row) const;
    // Inserts a row for the line where its text sorts.
    void addLine(const QString& line);
    // The row's words: the start time, what the entry does and how it repeats.
    QString rowText(const Entry& entry) const;
    int repeatKind() const;
    void setRepeatKind(int kind);
    void setHours(bool hours);
    void resetForNewEntry();
    // Loads the repeat rule into the interval controls; false when it cannot be read.
    bool loadRepeat(const RepeatRule& rule, const QString& field);
    void listEntries();
    // Reads the schedule file again when it changed on disk; false, after telling the user, when
    // the chosen entry is gone from it.
    bool catchUpWithFile(bool needsChosen);

    std::unique_ptr<Ui::SetupDialog> ui;
    ScheduleSource& schedule;
    Services services;
    bool newEntriesOnly;
    TypingLimit* noteLimit = nullptr;
    bool entryLoaded = false;
    QString noteFileName;
    QString entryLine;
    // The line of the entry loaded into the controls; empty for a new entry.
    QString chosenLine;
};
