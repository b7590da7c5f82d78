// SPDX-License-Identifier: MIT
#include "SetupDialog.h"

#include "Clock.h"
#include "ErrorBox.h"
#include "EventLine.h"
#include "FileChooser.h"
#include "FreeMemory.h"
#include "NoteFiles.h"
#include "RepeatRule.h"
#include "ScheduleListWidth.h"
#include "ScheduleSource.h"
#include "Settings.h"
#include "TypingLimit.h"
#include "ui_SetupDialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>

namespace {

QString invalidIntegerMessage(const QString& text)
{
    return SetupDialog::tr("'%1' is not a valid integer value").arg(text);
}

// The form's places were made for a narrower font than desktops here use. A caption that does
// not fit widens its control: a label to the left, since it stands before its field, a check
// box or radio button to the right.
void fitCaptions(QWidget* form)
{
    const QList<QWidget*> widgets = form->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        const bool label = qobject_cast<QLabel*>(w) != nullptr;
        if (!label && !qobject_cast<QCheckBox*>(w) && !qobject_cast<QRadioButton*>(w))
            continue;
        const int need = w->sizeHint().width();
        if (need <= w->width())
            continue;
        QRect place = w->geometry();
        if (label)
            place.moveLeft(qMax(0, place.left() + place.width() - need));
        place.setWidth(need);
        w->setGeometry(place);
    }
}

} // namespace

bool SetupDialog::openNow = false;

SetupDialog::SetupDialog(ScheduleSource& schedule, const Services& services, bool newEntriesOnly,
                         QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SetupDialog>()), schedule(schedule), services(services),
      newEntriesOnly(newEntriesOnly)
{
    ui->setupUi(this);
    fitCaptions(this);
    ScheduleListWidth::fit(*this, *ui->ScheduleGrp, *ui->EventBox);
    // In a large font a widened caption may reach past the form's edge: the form grows to hold it.
    resize(qMax(width(), childrenRect().right() + 1 + ui->ScheduleGrp->x()), height());
    setFixedSize(size());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    noteLimit = new TypingLimit(ui->Memo, MaxNoteTyped);

    QPalette note = ui->Memo->palette();
    note.setColor(QPalette::Base, note.color(QPalette::ToolTipBase));
    ui->Memo->setPalette(note);
    ui->AddBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    ui->UpdateBtn->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->DelBtn->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    ui->CancelBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    connect(ui->EventBox, &QListWidget::currentRowChanged, this, &SetupDialog::entryChosen);
    connect(ui->AddBtn, &QPushButton::clicked, this, &SetupDialog::addEntry);
    connect(ui->UpdateBtn, &QPushButton::clicked, this, &SetupDialog::updateEntry);
    connect(ui->DelBtn, &QPushButton::clicked, this, &SetupDialog::deleteEntry);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->PgmName, &QLineEdit::textChanged, this, &SetupDialog::markChanged);
    connect(ui->RunParms, &QLineEdit::textChanged, this, &SetupDialog::markChanged);
    connect(ui->Memo, &QPlainTextEdit::textChanged, this, &SetupDialog::markChanged);
    connect(ui->RepeatMin, &QSpinBox::valueChanged, this, &SetupDialog::markChanged);
    connect(ui->Chime, &QCheckBox::toggled, this, &SetupDialog::markChanged);
    connect(ui->AutoStart, &QCheckBox::toggled, this, &SetupDialog::markChanged);
    connect(ui->TimePicker, &QTimeEdit::timeChanged, this, &SetupDialog::markChanged);
    connect(ui->Current, &QPushButton::clicked, this, &SetupDialog::setTimeToNow);
    for (QRadioButton* interval : {ui->Daily, ui->Weekly, ui->Monthly}) {
        connect(interval, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                showRepeatKind();
        });
    }
    for (QRadioButton* unit : {ui->Minutes, ui->Hours}) {
        connect(unit, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                switchRepeatUnit();
        });
    }
    for (QCheckBox* day :
         {ui->Monday, ui->Tuesday, ui->Wednesday, ui->Thursday, ui->Friday, ui->Saturday, ui->Sunday})
        connect(day, &QCheckBox::toggled, this, &SetupDialog::markChanged);
    connect(ui->BrowseBtn, &QPushButton::clicked, this, &SetupDialog::browseForProgram);
    connect(ui->Email, &QCheckBox::toggled, this, &SetupDialog::toggleMail);
    connect(ui->HelpBtn, &QPushButton::clicked, this, &SetupDialog::showHelp);
    connect(&schedule, &ScheduleSource::scheduleReloaded, this, &SetupDialog::refreshList);
}

SetupDialog::~SetupDialog() = default;

void SetupDialog::openOn(ScheduleSource& schedule, const Services& services, bool newEntriesOnly)
{
    if (openNow)
        return;
    auto dialog = std::make_unique<SetupDialog>(schedule, services, newEntriesOnly);
    openNow = true;
    dialog->fill();
    dialog->exec();
    dialog.reset();
    returnFreeMemory();
    openNow = false;
    // The program may have been closed from the tray meanwhile: its schedule is gone.
    if (!schedule.isClosed())
        schedule.refreshStatus();
}

void SetupDialog::listEntries()
{
    const QSignalBlocker quiet(ui->EventBox);
    ui->EventBox->clear();
    for (const Entry& entry : schedule.entries())
        ui->EventBox->addItem(entry.line());
}

void SetupDialog::fill()
{
    listEntries();
    // The list is sorted and a file edited by hand need not be: the entry due next is found by
    // its text.
    if (ui->EventBox->count() > 0)
        selectRow(findLine(items(), schedule.nextLine()));
    ui->Chime->setChecked(services.settings.current().chime);
    ui->AutoStart->setChecked(services.settings.current().startAtLogOn);
    entryChosen();
    ui->PageCtl->setCurrentWidget(schedule.lastNote().isEmpty() ? ui->RunTab : ui->MemoTab);
    if (ui->EventBox->isEnabled())
        ui->EventBox->setFocus();
}

void SetupDialog::refreshList()
{
    listEntries();
    selectRow(chosenLine.isEmpty() ? -1 : findLine(items(), chosenLine));
    updateButtons();
}

bool SetupDialog::catchUpWithFile(bool needsChosen)
{
    schedule.reloadIfChanged();
    if (!needsChosen || chosenLine.isEmpty() || findLine(items(), chosenLine) >= 0)
        return true;
    services.errors.showError(
        tr("This entry was changed or removed in the schedule file meanwhile. Nothing was saved; "
           "Add keeps what you typed as a new entry."));
    return false;
}

int SetupDialog::selectedRow() const
{
    // A mouse press moves the current row before the selection, and the entry is loaded when
    // the current row moves: the current row is the one chosen.
    const int current = ui->EventBox->currentRow();
    if (current >= 0)
        return current;
    const QList<QListWidgetItem*> selected = ui->EventBox->selectedItems();
    return selected.isEmpty() ? -1 : ui->EventBox->row(selected.first());
}

void SetupDialog::selectRow(int row)
{
    // Selecting from code loads nothing: only the user's choice does.
    const QSignalBlocker quiet(ui->EventBox);
    if (row >= 0 && row < ui->EventBox->count()) {
        ui->EventBox->setCurrentRow(row);
    } else {
        ui->EventBox->setCurrentRow(-1);
        ui->EventBox->clearSelection();
    }
}

QStringList SetupDialog::items() const
{
    QStringList lines;
    for (int i = 0; i < ui->EventBox->count(); ++i)
        lines.append(ui->EventBox->item(i)->text());
    return lines;
}

int SetupDialog::repeatKind() const
{
    return ui->Weekly->isChecked() ? 1 : ui->Monthly->isChecked() ? 2 : 0;
}

void SetupDialog::setRepeatKind(int kind)
{
    (kind == 1 ? ui->Weekly : kind == 2 ? ui->Monthly : ui->Daily)->setChecked(true);
}

void SetupDialog::setHours(bool hours)
{
    (hours ? ui->Hours : ui->Minutes)->setChecked(true);
}

void SetupDialog::entryChosen()
{
    entryLoaded = false;
    if (!newEntriesOnly) {
        loadEntry();
        const int row = selectedRow();
        const bool dueToday = row >= 0 && schedule.isDueToday(ui->EventBox->item(row)->text());
        setWindowTitle(dueToday
                           ? tr("Nudgeon Setup - ") +
                                 QLocale::system().toString(services.clock.now().date(), QLocale::LongFormat)
                           : tr("Nudgeon Setup"));
    }
    ui->UpdateBtn->setEnabled(false);
    ui->AddBtn->setEnabled(false);
    updateButtons();
    entryLoaded = true;
}

bool SetupDialog::loadRepeat(const RepeatRule& rule, const QString& field)
{
    if (!rule.isWellFormed()) {
        services.errors.showError(invalidIntegerMessage(field));
        return false;
    }
    switch (rule.kind()) {
    case RepeatRule::Kind::Weekdays: {
        setRepeatKind(1);
        QCheckBox* const days[] = {ui->Monday, ui->Tuesday,  ui->Wednesday, ui->Thursday,
                                   ui->Friday, ui->Saturday, ui->Sunday};
        for (int day = 1; day <= 7; ++day)
            days[day - 1]->setChecked(rule.hasWeekday(day));
        return true;
    }
    case RepeatRule::Kind::DayOfMonth:
        setRepeatKind(2);
        ui->RepeatMin->setValue(static_cast<int>(qMin<qint64>(rule.value(), 31)));
        return true;
    case RepeatRule::Kind::Interval:
        break;
    }
    const int minutes = static_cast<int>(rule.value());
    setRepeatKind(0);
    ui->RepeatMin->setMaximum(1440);
    setHours(false);
    ui->RepeatMin->setValue(minutes);
    if (minutes > 60 && minutes % 60 == 0)
        setHours(true);
    return true;
}

void SetupDialog::loadEntry()
{
    if (ui->EventBox->count() == 0) {
        newEntriesOnly = true;
        chosenLine.clear();
        // A new entry starts from fresh controls, whatever the last one shown held.
        resetForNewEntry();
        noteLimit->load(QString());
        showRepeatKind();
        return;
    }
    if (selectedRow() < 0)
        selectRow(0);
    entryLine = ui->EventBox->item(selectedRow())->text();
    chosenLine = entryLine;
    const Entry entry(entryLine);
    if (!entry.hasFields())
        return;

    if (!entry.isValid()) {
        services.errors.showError(invalidTimeMessage(entry.timeText()));
        return;
    }
    ui->TimePicker->setTime(entry.startTime());
    ui->PgmName->setText(entry.program());
    ui->RunParms->setText(entry.parameters());
    if (!loadRepeat(entry.repeat(), entry.repeatText()))
        return;

    {
        // The box follows the loaded program without emptying or filling the Program box.
        const QSignalBlocker quiet(ui->Email);
        // Ticked for the mail program's own spelling only, so that the box never rewrites a
        // program field typed in another case.
        ui->Email->setChecked(entry.program() == Entry::mailProgram);
    }
    ui->PgmName->setEnabled(!ui->Email->isChecked());
    ui->BrowseBtn->setEnabled(!ui->Email->isChecked());

    noteFileName = entry.noteName();
    noteLimit->load(QString());

    if (noteFileName.isEmpty()) {
        if (ui->PageCtl->currentWidget() == ui->MemoTab)
            ui->PageCtl->setCurrentWidget(ui->RunTab);
    } else {
        if (ui->PageCtl->currentWidget() == ui->RunTab && ui->PgmName->text().isEmpty())
            ui->PageCtl->setCurrentWidget(ui->MemoTab);
        const QString path = services.noteFolder + noteFileName;
        if (QFileInfo::exists(path)) {
            const std::optional<QString> text = readNoteFile(path);
            if (text)
                noteLimit->load(*text);
            else
                services.errors.showError(cannotOpenMessage(path));
        }
    }
    showRepeatKind();
}

void SetupDialog::resetForNewEntry()
{
    noteFileName.clear();
    ui->Email->setChecked(false);
    ui->TimePicker->setTime(services.clock.now().time());
    ui->PgmName->clear();
    ui->RunParms->clear();
    setRepeatKind(0);
    ui->RepeatMin->setValue(0);
    ui->DelBtn->setEnabled(false);
}

void SetupDialog::updateButtons()
{
    if (newEntriesOnly) {
        ui->EventBox->setEnabled(false);
        ui->AddBtn->setEnabled(true);
        ui->DelBtn->setEnabled(false);
    } else {
        ui->EventBox->setEnabled(true);
        ui->AddBtn->setEnabled(ui->UpdateBtn->isEnabled());
        if (ui->EventBox->count() > 0)
            ui->DelBtn->setEnabled(true);
    }
    ui->CancelBtn->setText(ui->UpdateBtn->isEnabled() ? tr("&Cancel") : tr("&Close"));
}

void SetupDialog::markChanged()
{
    if (!newEntriesOnly && entryLoaded)
        ui->UpdateBtn->setEnabled(true);
    updateButtons();
}

void SetupDialog::setTimeToNow()
{
    ui->TimePicker->setTime(services.clock.now().time());
    markChanged();
}

void SetupDialog::showRepeatKind()
{
    ui->DateLabel->setVisible(false);
    switch (repeatKind()) {
    case 1:
        ui->DailyGrp->setVisible(false);
        ui->WeeklyBox->setVisible(true);
        // The weekday boxes take the number's place.
        ui->RepeatMin->setVisible(false);
        break;
    case 2:
        ui->DailyGrp->setVisible(false);
        ui->WeeklyBox->setVisible(false);
        ui->RepeatMin->setVisible(true);
        ui->RepeatMin->raise();
        ui->DateLabel->setVisible(true);
        // A day of the month: "-0" would read back as a daily rule.
        ui->RepeatMin->setRange(1, 31);
        break;
    default:
        ui->DailyGrp->setVisible(true);
        ui->WeeklyBox->setVisible(false);
        ui->RepeatMin->setVisible(true);
        ui->RepeatMin->raise();
        ui->RepeatMin->setMinimum(0);
        switchRepeatUnit();
        break;
    }
    markChanged();
}

void SetupDialog::switchRepeatUnit()
{
    if (ui->Hours->isChecked()) {
        const int value = ui->RepeatMin->value();
        const int hours = value > 24 ? value / 60 : value;
        ui->RepeatMin->setMaximum(24);
        ui->RepeatMin->setValue(hours);
    } else {
        ui->RepeatMin->setMaximum(1440);
    }
}

void SetupDialog::toggleMail()
{
    const bool mail = ui->Email->isChecked();
    ui->PgmName->setText(mail ? Entry::mailProgram : QString());
    ui->PgmName->setEnabled(!mail);
    ui->BrowseBtn->setEnabled(!mail);
    markChanged();
}

void SetupDialog::browseForProgram()
{
    const std::optional<QString> file = services.files.chooseProgram(tr("Select file"));
    if (file)
        ui->PgmName->setText(*file);
}

void SetupDialog::showHelp()
{
    if (services.help)
        services.help();
}

bool SetupDialog::composeEntry()
{
    const bool hasNote = !ui->Memo->toPlainText().isEmpty();
    if (hasNote) {
        if (noteFileName.isEmpty()) {
            const std::optional<QString> name =
                newNoteFileName(services.noteFolder, services.clock.now().date(), ui->TimePicker->time());
            if (!name) {
                services.errors.showError(cannotCreateMessage(services.noteFolder));
                return false;
            }
            noteFileName = *name;
        }
        const QString path = cutText(services.noteFolder + noteFileName);
        if (!writeNoteFile(path, ui->Memo->toPlainText())) {
            services.errors.showError(cannotCreateMessage(path));
            return false;
        }
    } else {
        noteLimit->load(QString());
    }

    EventInput in;
    in.start = ui->TimePicker->time();
    in.program = ui->PgmName->text();
    in.kind = static_cast<RepeatKind>(repeatKind());
    in.hours = ui->Hours->isChecked();
    in.repeatValue = ui->RepeatMin->value();
    in.weekdays = {ui->Monday->isChecked(),   ui->Tuesday->isChecked(), ui->Wednesday->isChecked(),
                   ui->Thursday->isChecked(), ui->Friday->isChecked(),  ui->Saturday->isChecked(),
                   ui->Sunday->isChecked()};
    in.parameters = ui->RunParms->text();
    in.hasNote = hasNote;
    in.noteFile = noteFileName;
    entryLine = composeEventLine(in);

    const QStringList lines = items();
    if (findLine(lines, entryLine) < 0 && lines.size() < MaxEvents) {
        const QSignalBlocker quiet(ui->EventBox);
        ui->EventBox->addItem(entryLine);
    }
    selectRow(findLine(items(), entryLine));
    return true;
}

void SetupDialog::saveSchedule()
{
    if (!noteFileName.isEmpty() && ui->Memo->toPlainText().isEmpty())
        deleteNoteFile(services.noteFolder + noteFileName);
    schedule.applyEdits(items());
    const Settings::Values chosen{ui->Chime->isChecked(), ui->AutoStart->isChecked()};
    const Settings::Values current = services.settings.current();
    if (chosen.chime != current.chime || chosen.startAtLogOn != current.startAtLogOn)
        services.settings.save(chosen);
    entryChosen();
    if (ui->EventBox->isEnabled())
        ui->EventBox->setFocus();
}

void SetupDialog::addEntry()
{
    if (ui->Memo->toPlainText().isEmpty() && ui->PgmName->text().isEmpty())
        return;
    catchUpWithFile(false);
    noteFileName.clear();
    if (!composeEntry())
        return;
    saveSchedule();
    ui->AddBtn->setEnabled(false);
}

void SetupDialog::updateEntry()
{
    if (!catchUpWithFile(true))
        return;
    const int row = selectedRow();
    QString removed;
    if (row >= 0) {
        const QSignalBlocker quiet(ui->EventBox);
        removed = ui->EventBox->item(row)->text();
        delete ui->EventBox->takeItem(row);
    }
    if (!composeEntry()) {
        // The entry stays as it was, in the list as in the schedule.
        if (!removed.isEmpty()) {
            const QSignalBlocker quiet(ui->EventBox);
            ui->EventBox->addItem(removed);
            selectRow(findLine(items(), removed));
        }
        return;
    }
    saveSchedule();
    ui->UpdateBtn->setEnabled(false);
}

void SetupDialog::deleteEntry()
{
    if (!catchUpWithFile(true))
        return;
    const int row = selectedRow();
    if (row >= 0) {
        const QSignalBlocker quiet(ui->EventBox);
        entryLine = ui->EventBox->item(row)->text();
        delete ui->EventBox->takeItem(row);
    }
    if (!noteFileName.isEmpty())
        deleteNoteFile(services.noteFolder + noteFileName);
    noteLimit->load(QString());
    saveSchedule();
}
