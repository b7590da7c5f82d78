#pragma once
// The setup dialog: the schedule as a sorted list, and the controls of one entry.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TTimerSet;
}

class Clock;
class ErrorBox;
class FileChooser;
class TTimerForm;
class TypingLimit;
class QAbstractButton;
struct ScheduleState;

class TTimerSet : public QDialog
{
    Q_OBJECT

public:
    struct Services
    {
        Clock& clock;
        ErrorBox& errors;
        FileChooser& files;
        // Opens the help page.
        std::function<void()> help;
    };

    TTimerSet(TTimerForm& timerForm, const Services& services, QWidget* parent = nullptr);
    ~TTimerSet() override;

    // Opens the dialog on the schedule, runs it modally and brings the engine up to date
    // afterwards. Does nothing while a dialog is open already.
    static void SetupIni(TTimerForm& timerForm, const Services& services);

    // Fills the list from the schedule and loads the entry due next, as opening does.
    void fill();

    Ui::TTimerSet* form() const { return ui.get(); }
    QString noteFile() const { return NoteFile; }

    void EventClick();
    void SetEvent();
    void AddClick();
    void UpdateClick();
    void DeleteClick();
    // Saves the note and enters the line composed from the controls into the list; false
    // when the note could not be saved.
    bool DoAdd();
    void UpdateFile();
    void UpdateOK();
    void SetButtons();
    void DoUpdate();
    void ChimeClick();
    void NewTime();
    void SetNow();
    void SelectGrpClick();
    void DailyGrpClick();
    void WeekDayClick();
    void BrowseClick();
    void EmailClick();
    void HelpClick();

    // The schedule's limit of entries, and the note's limit of typed characters.
    static constexpr int MaxNoteTyped = 1024;

private:
    int selectedRow() const;
    void selectRow(int row);
    QStringList items() const;
    int repeatKind() const;
    void setRepeatKind(int kind);
    void setHours(bool hours);
    void resetForNewEntry();
    // Loads the repeat field into the interval controls; false when it cannot be read.
    bool loadRepeat(const QString& field);

    std::unique_ptr<Ui::TTimerSet> ui;
    TTimerForm& timerForm;
    ScheduleState& s;
    Services services;
    TypingLimit* noteLimit = nullptr;
    bool EventLoaded = false;
    QString NoteFile;
    QString EventStr;
};
