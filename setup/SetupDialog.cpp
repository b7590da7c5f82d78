// SPDX-License-Identifier: MIT
#include "setup/SetupDialog.h"

#include "actions/TypingLimit.h"
#include "engine/ScheduleSource.h"
#include "platform/Clock.h"
#include "platform/ErrorBox.h"
#include "platform/FileChooser.h"
#include "platform/FreeMemory.h"
#include "platform/Settings.h"
#include "schedule/EventLine.h"
#include "schedule/NoteFiles.h"
#include "schedule/RepeatRule.h"
#include "ui_SetupDialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLayout>
#include <QLocale>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {

QString invalidIntegerMessage(const QString& text)
{
    return SetupDialog::tr("'%1' is not a valid integer value").arg(text);
}

// The dialog open now; there is one at a time.
QPointer<SetupDialog> openDialog;

} // namespace

SetupDialog::SetupDialog(ScheduleSource& schedule, const Services& services, bool newEntriesOnly,
                         QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SetupDialog>()), schedule(schedule), services(services),
      newEntriesOnly(newEntriesOnly)
{
    ui->setupUi(this);
    fitListWidth();
    fitToForm();
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    noteLimit = new TypingLimit(ui->noteEdit, MaxNoteTyped);

    QPalette note = ui->noteEdit->palette();
    note.setColor(QPalette::Base, note.color(QPalette::ToolTipBase));
    ui->noteEdit->setPalette(note);

    connect(ui->scheduleList, &QListWidget::currentRowChanged, this, &SetupDialog::entryChosen);
    connect(ui->addButton, &QPushButton::clicked, this, &SetupDialog::addEntry);
    connect(ui->updateButton, &QPushButton::clicked, this, &SetupDialog::updateEntry);
    connect(ui->deleteButton, &QPushButton::clicked, this, &SetupDialog::deleteEntry);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->programEdit, &QLineEdit::textChanged, this, &SetupDialog::markChanged);
    connect(ui->parametersEdit, &QLineEdit::textChanged, this, &SetupDialog::markChanged);
    connect(ui->noteEdit, &QPlainTextEdit::textChanged, this, &SetupDialog::markChanged);
    connect(ui->repeatSpin, &QSpinBox::valueChanged, this, &SetupDialog::markChanged);
    connect(ui->chimeCheck, &QCheckBox::toggled, this, &SetupDialog::markChanged);
    connect(ui->autoStartCheck, &QCheckBox::toggled, this, &SetupDialog::markChanged);
    connect(ui->startTimeEdit, &QTimeEdit::timeChanged, this, &SetupDialog::markChanged);
    connect(ui->nowButton, &QToolButton::clicked, this, &SetupDialog::setTimeToNow);
    for (QRadioButton* interval : {ui->dailyRadio, ui->weeklyRadio, ui->monthlyRadio}) {
        connect(interval, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                showRepeatKind();
        });
    }
    for (QRadioButton* unit : {ui->minutesRadio, ui->hoursRadio}) {
        connect(unit, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                switchRepeatUnit();
        });
    }
    for (QCheckBox* day : {ui->mondayCheck, ui->tuesdayCheck, ui->wednesdayCheck, ui->thursdayCheck,
                           ui->fridayCheck, ui->saturdayCheck, ui->sundayCheck})
        connect(day, &QCheckBox::toggled, this, &SetupDialog::markChanged);
    connect(ui->browseButton, &QToolButton::clicked, this, &SetupDialog::browseForProgram);
    connect(ui->emailCheck, &QCheckBox::toggled, this, &SetupDialog::toggleMail);
    connect(ui->helpButton, &QToolButton::clicked, this, &SetupDialog::showHelp);
    connect(&schedule, &ScheduleSource::scheduleReloaded, this, &SetupDialog::refreshList);
}

SetupDialog::~SetupDialog() = default;

bool SetupDialog::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    // The layout has taken in a change (another interval's controls, a new font): the border
    // follows it.
    if (event->type() == QEvent::LayoutRequest)
        fitToForm();
    return handled;
}

void SetupDialog::fitToForm()
{
    // A dialog's fixed border, as desktops expect of a dialog (sway floats only a fixed-size
    // window), yet as large as the form needs: a larger font or the weekday boxes widen it.
    ensurePolished();
    const QSize need = size().expandedTo(layout()->totalMinimumSize());
    if (minimumSize() != need || maximumSize() != need)
        setFixedSize(need);
}

void SetupDialog::fitListWidth()
{
    // "10:01 AM" and "10:01 PM" must never look alike: the list holds a whole time beside the
    // scroll bar, in whatever font, and a start of what the entry does; the rest is elided.
    QListWidget* list = ui->scheduleList;
    list->ensurePolished();
    const QString timeField = QStringLiteral(" 00:00 PM  ");
    constexpr int shownLetters = 16;
    const int itemMargin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setFixedWidth(list->fontMetrics().horizontalAdvance(timeField) +
                        shownLetters * list->fontMetrics().averageCharWidth() + 2 * itemMargin + scrollBar +
                        2 * list->frameWidth());
}

void SetupDialog::openOn(ScheduleSource& schedule, const Services& services, bool newEntriesOnly)
{
    if (openDialog) {
        openDialog->raise();
        openDialog->activateWindow();
        return;
    }
    // Modeless: a note that shows meanwhile can be snoozed, edited and closed.
    auto* dialog = new SetupDialog(schedule, services, newEntriesOnly);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    openDialog = dialog;
    connect(dialog, &QDialog::finished, &schedule, [&schedule] {
        openDialog.clear();
        // The program may have been closed from the tray meanwhile: its schedule is gone.
        if (!schedule.isClosed())
            schedule.refreshStatus();
    });
    connect(dialog, &QObject::destroyed, [] { returnFreeMemory(); });
    dialog->fill();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

bool SetupDialog::isOpen()
{
    return !openDialog.isNull();
}

void SetupDialog::closeOpen()
{
    if (openDialog)
        openDialog->reject();
}

void SetupDialog::listEntries()
{
    const QSignalBlocker quiet(ui->scheduleList);
    ui->scheduleList->clear();
    for (const Entry& entry : schedule.entries())
        addLine(entry.line());
}

void SetupDialog::addLine(const QString& line)
{
    // The rows stay in the order of their lines, the order the schedule is written in; an equal
    // line goes before those there.
    const QStringList lines = items();
    const int row = static_cast<int>(std::lower_bound(lines.begin(), lines.end(), line) - lines.begin());
    auto* item = new QListWidgetItem(rowText(Entry(line)));
    item->setData(LineRole, line);
    item->setToolTip(item->text());
    ui->scheduleList->insertItem(row, item);
}

QString SetupDialog::lineAt(int row) const
{
    return ui->scheduleList->item(row)->data(LineRole).toString();
}

QString SetupDialog::rowText(const Entry& entry) const
{
    const QString time =
        entry.isValid() ? entry.startTime().toString(QStringLiteral("hh:mm AP")) : entry.timeText().trimmed();
    const QString program = QFileInfo(entry.program()).fileName();
    const QString parameters = entry.parameters().trimmed();
    QString note;
    if (!entry.noteName().isEmpty()) {
        // The note's first line with words in it, else its file's name.
        const QStringList noteLines =
            readNote(services.noteFolder + entry.noteName()).text.split(QLatin1Char('\n'));
        const auto firstWords = std::find_if(noteLines.begin(), noteLines.end(),
                                             [](const QString& line) { return !line.trimmed().isEmpty(); });
        note = firstWords == noteLines.end() ? entry.noteName() : firstWords->simplified();
    }

    QString does;
    switch (entry.kind()) {
    case Entry::Kind::Mail:
        does = tr("mail to %1").arg(parameters);
        note.clear();
        break;
    case Entry::Kind::Dialer:
        does = tr("dial %1").arg(parameters);
        break;
    case Entry::Kind::Sound:
        does = tr("sound %1").arg(program);
        break;
    case Entry::Kind::Program:
        does = parameters.isEmpty() ? program : program + QLatin1Char(' ') + parameters;
        break;
    case Entry::Kind::Note:
        break;
    }
    if (!note.isEmpty())
        does = does.isEmpty() ? tr("note: %1").arg(note) : tr("%1, note: %2").arg(does, note);

    QString repeat;
    const RepeatRule& rule = entry.repeat();
    if (rule.isWellFormed()) {
        switch (rule.kind()) {
        case RepeatRule::Kind::Interval:
            if (rule.value() > 0 && rule.value() % 60 == 0)
                repeat = tr("every %n h", nullptr, static_cast<int>(rule.value() / 60));
            else if (rule.value() > 0)
                repeat = tr("every %n min", nullptr, static_cast<int>(rule.value()));
            break;
        case RepeatRule::Kind::Weekdays: {
            QStringList days;
            for (int day = 1; day <= 7; ++day) {
                if (rule.hasWeekday(day))
                    days << QLocale::system().dayName(day, QLocale::ShortFormat);
            }
            repeat = days.join(QLatin1Char(' '));
            break;
        }
        case RepeatRule::Kind::DayOfMonth:
            repeat = tr("monthly on day %1").arg(rule.value());
            break;
        }
    }

    QString row = time;
    if (!does.isEmpty())
        row += QStringLiteral("  ") + does;
    if (!repeat.isEmpty())
        row += QStringLiteral("  (%1)").arg(repeat);
    return row;
}

void SetupDialog::fill()
{
    listEntries();
    // The list is sorted and a file edited by hand need not be: the entry due next is found by
    // its text.
    if (ui->scheduleList->count() > 0)
        selectRow(findLine(items(), schedule.nextLine()));
    ui->chimeCheck->setChecked(services.settings.current().chime);
    ui->autoStartCheck->setChecked(services.settings.current().startAtLogOn);
    entryChosen();
    ui->pageTabs->setCurrentWidget(schedule.lastNote().isEmpty() ? ui->runTab : ui->noteTab);
    if (ui->scheduleList->isEnabled())
        ui->scheduleList->setFocus();
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
    const int current = ui->scheduleList->currentRow();
    if (current >= 0)
        return current;
    const QList<QListWidgetItem*> selected = ui->scheduleList->selectedItems();
    return selected.isEmpty() ? -1 : ui->scheduleList->row(selected.first());
}

void SetupDialog::selectRow(int row)
{
    // Selecting from code loads nothing: only the user's choice does.
    const QSignalBlocker quiet(ui->scheduleList);
    if (row >= 0 && row < ui->scheduleList->count()) {
        ui->scheduleList->setCurrentRow(row);
    } else {
        ui->scheduleList->setCurrentRow(-1);
        ui->scheduleList->clearSelection();
    }
}

QStringList SetupDialog::items() const
{
    QStringList lines;
    for (int i = 0; i < ui->scheduleList->count(); ++i)
        lines.append(lineAt(i));
    return lines;
}

int SetupDialog::repeatKind() const
{
    return ui->weeklyRadio->isChecked() ? 1 : ui->monthlyRadio->isChecked() ? 2 : 0;
}

void SetupDialog::setRepeatKind(int kind)
{
    (kind == 1 ? ui->weeklyRadio : kind == 2 ? ui->monthlyRadio : ui->dailyRadio)->setChecked(true);
}

void SetupDialog::setHours(bool hours)
{
    (hours ? ui->hoursRadio : ui->minutesRadio)->setChecked(true);
}

void SetupDialog::entryChosen()
{
    entryLoaded = false;
    if (!newEntriesOnly) {
        loadEntry();
        const int row = selectedRow();
        const bool dueToday = row >= 0 && schedule.isDueToday(lineAt(row));
        setWindowTitle(dueToday
                           ? tr("Nudgeon Setup - ") +
                                 QLocale::system().toString(services.clock.now().date(), QLocale::LongFormat)
                           : tr("Nudgeon Setup"));
    }
    ui->updateButton->setEnabled(false);
    ui->addButton->setEnabled(false);
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
        QCheckBox* const days[] = {ui->mondayCheck, ui->tuesdayCheck,  ui->wednesdayCheck, ui->thursdayCheck,
                                   ui->fridayCheck, ui->saturdayCheck, ui->sundayCheck};
        for (int day = 1; day <= 7; ++day)
            days[day - 1]->setChecked(rule.hasWeekday(day));
        return true;
    }
    case RepeatRule::Kind::DayOfMonth:
        setRepeatKind(2);
        ui->repeatSpin->setValue(static_cast<int>(qMin<qint64>(rule.value(), 31)));
        return true;
    case RepeatRule::Kind::Interval:
        break;
    }
    const int minutes = static_cast<int>(rule.value());
    setRepeatKind(0);
    ui->repeatSpin->setMaximum(1440);
    setHours(false);
    ui->repeatSpin->setValue(minutes);
    if (minutes > 60 && minutes % 60 == 0)
        setHours(true);
    return true;
}

void SetupDialog::loadEntry()
{
    if (ui->scheduleList->count() == 0) {
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
    entryLine = lineAt(selectedRow());
    chosenLine = entryLine;
    const Entry entry(entryLine);
    if (!entry.hasFields())
        return;

    if (!entry.isValid()) {
        services.errors.showError(invalidTimeMessage(entry.timeText()));
        return;
    }
    ui->startTimeEdit->setTime(entry.startTime());
    ui->programEdit->setText(entry.program());
    ui->parametersEdit->setText(entry.parameters());
    if (!loadRepeat(entry.repeat(), entry.repeatText()))
        return;

    {
        // The box follows the loaded program without emptying or filling the Program box.
        const QSignalBlocker quiet(ui->emailCheck);
        // Ticked for the mail program's own spelling only, so that the box never rewrites a
        // program field typed in another case.
        ui->emailCheck->setChecked(entry.program() == Entry::mailProgram);
    }
    ui->programEdit->setEnabled(!ui->emailCheck->isChecked());
    ui->browseButton->setEnabled(!ui->emailCheck->isChecked());

    noteFileName = entry.noteName();
    noteLimit->load(QString());

    if (noteFileName.isEmpty()) {
        if (ui->pageTabs->currentWidget() == ui->noteTab)
            ui->pageTabs->setCurrentWidget(ui->runTab);
    } else {
        if (ui->pageTabs->currentWidget() == ui->runTab && ui->programEdit->text().isEmpty())
            ui->pageTabs->setCurrentWidget(ui->noteTab);
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
    ui->emailCheck->setChecked(false);
    ui->startTimeEdit->setTime(services.clock.now().time());
    ui->programEdit->clear();
    ui->parametersEdit->clear();
    setRepeatKind(0);
    ui->repeatSpin->setValue(0);
    ui->deleteButton->setEnabled(false);
}

void SetupDialog::updateButtons()
{
    if (newEntriesOnly) {
        ui->scheduleList->setEnabled(false);
        ui->addButton->setEnabled(true);
        ui->deleteButton->setEnabled(false);
    } else {
        ui->scheduleList->setEnabled(true);
        ui->addButton->setEnabled(ui->updateButton->isEnabled());
        if (ui->scheduleList->count() > 0)
            ui->deleteButton->setEnabled(true);
    }
    ui->closeButton->setText(ui->updateButton->isEnabled() ? tr("&Cancel") : tr("&Close"));
}

void SetupDialog::markChanged()
{
    if (!newEntriesOnly && entryLoaded)
        ui->updateButton->setEnabled(true);
    updateButtons();
}

void SetupDialog::setTimeToNow()
{
    ui->startTimeEdit->setTime(services.clock.now().time());
    markChanged();
}

void SetupDialog::showRepeatKind()
{
    ui->monthDayLabel->setVisible(false);
    switch (repeatKind()) {
    case 1:
        ui->unitGroup->setVisible(false);
        ui->weekdaysGroup->setVisible(true);
        // The weekday boxes take the number's place.
        ui->repeatSpin->setVisible(false);
        break;
    case 2:
        ui->unitGroup->setVisible(false);
        ui->weekdaysGroup->setVisible(false);
        ui->repeatSpin->setVisible(true);
        ui->repeatSpin->raise();
        ui->monthDayLabel->setVisible(true);
        // A day of the month: "-0" would read back as a daily rule.
        ui->repeatSpin->setRange(1, 31);
        break;
    default:
        ui->unitGroup->setVisible(true);
        ui->weekdaysGroup->setVisible(false);
        ui->repeatSpin->setVisible(true);
        ui->repeatSpin->raise();
        ui->repeatSpin->setMinimum(0);
        switchRepeatUnit();
        break;
    }
    markChanged();
}

void SetupDialog::switchRepeatUnit()
{
    if (ui->hoursRadio->isChecked()) {
        const int value = ui->repeatSpin->value();
        const int hours = value > 24 ? value / 60 : value;
        ui->repeatSpin->setMaximum(24);
        ui->repeatSpin->setValue(hours);
    } else {
        ui->repeatSpin->setMaximum(1440);
    }
}

void SetupDialog::toggleMail()
{
    const bool mail = ui->emailCheck->isChecked();
    ui->programEdit->setText(mail ? Entry::mailProgram : QString());
    ui->programEdit->setEnabled(!mail);
    ui->browseButton->setEnabled(!mail);
    markChanged();
}

void SetupDialog::browseForProgram()
{
    const std::optional<QString> file = services.files.chooseProgram(tr("Select file"));
    if (file)
        ui->programEdit->setText(*file);
}

void SetupDialog::showHelp()
{
    if (services.help)
        services.help();
}

bool SetupDialog::composeEntry()
{
    const bool hasNote = !ui->noteEdit->toPlainText().isEmpty();
    if (hasNote) {
        if (noteFileName.isEmpty()) {
            const std::optional<QString> name =
                newNoteFileName(services.noteFolder, services.clock.now().date(), ui->startTimeEdit->time());
            if (!name) {
                services.errors.showError(cannotCreateMessage(services.noteFolder));
                return false;
            }
            noteFileName = *name;
        }
        const QString path = cutText(services.noteFolder + noteFileName);
        if (!writeNoteFile(path, ui->noteEdit->toPlainText())) {
            services.errors.showError(cannotCreateMessage(path));
            return false;
        }
    } else {
        noteLimit->load(QString());
    }

    EventInput in;
    in.start = ui->startTimeEdit->time();
    in.program = ui->programEdit->text();
    in.kind = static_cast<RepeatKind>(repeatKind());
    in.hours = ui->hoursRadio->isChecked();
    in.repeatValue = ui->repeatSpin->value();
    in.weekdays = {ui->mondayCheck->isChecked(),    ui->tuesdayCheck->isChecked(),
                   ui->wednesdayCheck->isChecked(), ui->thursdayCheck->isChecked(),
                   ui->fridayCheck->isChecked(),    ui->saturdayCheck->isChecked(),
                   ui->sundayCheck->isChecked()};
    in.parameters = ui->parametersEdit->text();
    in.hasNote = hasNote;
    in.noteFile = noteFileName;
    entryLine = composeEventLine(in);

    const QStringList lines = items();
    if (findLine(lines, entryLine) < 0 && lines.size() < MaxEvents) {
        const QSignalBlocker quiet(ui->scheduleList);
        addLine(entryLine);
    }
    selectRow(findLine(items(), entryLine));
    return true;
}

void SetupDialog::saveSchedule()
{
    if (!noteFileName.isEmpty() && ui->noteEdit->toPlainText().isEmpty())
        deleteNoteFile(services.noteFolder + noteFileName);
    schedule.applyEdits(items());
    const Settings::Values chosen{ui->chimeCheck->isChecked(), ui->autoStartCheck->isChecked()};
    const Settings::Values current = services.settings.current();
    if (chosen.chime != current.chime || chosen.startAtLogOn != current.startAtLogOn)
        services.settings.save(chosen);
    entryChosen();
    if (ui->scheduleList->isEnabled())
        ui->scheduleList->setFocus();
}

void SetupDialog::addEntry()
{
    if (ui->noteEdit->toPlainText().isEmpty() && ui->programEdit->text().isEmpty())
        return;
    catchUpWithFile(false);
    noteFileName.clear();
    if (!composeEntry())
        return;
    saveSchedule();
    ui->addButton->setEnabled(false);
}

void SetupDialog::updateEntry()
{
    if (!catchUpWithFile(true))
        return;
    const int row = selectedRow();
    QString removed;
    if (row >= 0) {
        const QSignalBlocker quiet(ui->scheduleList);
        removed = lineAt(row);
        delete ui->scheduleList->takeItem(row);
    }
    if (!composeEntry()) {
        // The entry stays as it was, in the list as in the schedule.
        if (!removed.isEmpty()) {
            const QSignalBlocker quiet(ui->scheduleList);
            addLine(removed);
            selectRow(findLine(items(), removed));
        }
        return;
    }
    saveSchedule();
    ui->updateButton->setEnabled(false);
}

void SetupDialog::deleteEntry()
{
    if (!catchUpWithFile(true))
        return;
    const int row = selectedRow();
    if (row >= 0) {
        const QSignalBlocker quiet(ui->scheduleList);
        entryLine = lineAt(row);
        delete ui->scheduleList->takeItem(row);
    }
    if (!noteFileName.isEmpty())
        deleteNoteFile(services.noteFolder + noteFileName);
    noteLimit->load(QString());
    saveSchedule();
}
