#include "Timerini.h"

#include "Clock.h"
#include "ErrorBox.h"
#include "FileChooser.h"
#include "FreeMemory.h"
#include "NoteFiles.h"
#include "Timer.h"
#include "TypingLimit.h"
#include "ui_Timerini.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>

namespace {

const QString mailProgram = QStringLiteral("DARIZIZ.EXE");

QString invalidIntegerMessage(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
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

TTimerSet::TTimerSet(TTimerForm& timerForm, const Services& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TTimerSet>()), timerForm(timerForm), s(timerForm.state()),
      services(services)
{
    ui->setupUi(this);
    fitCaptions(this);
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

    connect(ui->EventBox, &QListWidget::currentRowChanged, this, &TTimerSet::EventClick);
    connect(ui->AddBtn, &QPushButton::clicked, this, &TTimerSet::AddClick);
    connect(ui->UpdateBtn, &QPushButton::clicked, this, &TTimerSet::UpdateClick);
    connect(ui->DelBtn, &QPushButton::clicked, this, &TTimerSet::DeleteClick);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->PgmName, &QLineEdit::textChanged, this, &TTimerSet::DoUpdate);
    connect(ui->RunParms, &QLineEdit::textChanged, this, &TTimerSet::DoUpdate);
    connect(ui->Memo, &QPlainTextEdit::textChanged, this, &TTimerSet::DoUpdate);
    connect(ui->RepeatMin, &QSpinBox::valueChanged, this, &TTimerSet::DoUpdate);
    connect(ui->Chime, &QCheckBox::toggled, this, &TTimerSet::ChimeClick);
    connect(ui->AutoStart, &QCheckBox::toggled, this, &TTimerSet::ChimeClick);
    connect(ui->TimePicker, &QTimeEdit::timeChanged, this, &TTimerSet::NewTime);
    connect(ui->Current, &QPushButton::clicked, this, &TTimerSet::SetNow);
    for (QRadioButton* interval : {ui->Daily, ui->Weekly, ui->Monthly}) {
        connect(interval, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                SelectGrpClick();
        });
    }
    for (QRadioButton* unit : {ui->Minutes, ui->Hours}) {
        connect(unit, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                DailyGrpClick();
        });
    }
    for (QCheckBox* day :
         {ui->Monday, ui->Tuesday, ui->Wednesday, ui->Thursday, ui->Friday, ui->Saturday, ui->Sunday})
        connect(day, &QCheckBox::toggled, this, &TTimerSet::WeekDayClick);
    connect(ui->BrowseBtn, &QPushButton::clicked, this, &TTimerSet::BrowseClick);
    connect(ui->Email, &QCheckBox::toggled, this, &TTimerSet::EmailClick);
    connect(ui->HelpBtn, &QPushButton::clicked, this, &TTimerSet::HelpClick);
}

TTimerSet::~TTimerSet() = default;

void TTimerSet::SetupIni(TTimerForm& timerForm, const Services& services)
{
    if (timerForm.Tag != 0)
        return;
    auto dialog = std::make_unique<TTimerSet>(timerForm, services);
    timerForm.Tag = -1;
    dialog->fill();
    dialog->exec();
    dialog.reset();
    returnFreeMemory();
    timerForm.Tag = 0;
    // The program may have been closed from the tray meanwhile: its schedule is gone.
    if (!timerForm.isClosed())
        timerForm.NextTime();
}

void TTimerSet::fill()
{
    {
        const QSignalBlocker quiet(ui->EventBox);
        ui->EventBox->clear();
        for (int i = 0; i < s.EventCount && i < s.EventList.size(); ++i)
            ui->EventBox->addItem(s.EventList.at(i));
    }
    // The list is sorted and a file edited by hand need not be: the entry due next is found by
    // its text.
    if (s.NextEvent >= 1 && s.NextEvent <= s.EventList.size())
        selectRow(findLine(items(), s.EventList.at(s.NextEvent - 1)));
    ui->Chime->setChecked(s.ChimeOn);
    ui->AutoStart->setChecked(s.AutoStartOn);
    EventClick();
    ui->PageCtl->setCurrentWidget(s.EventNote.isEmpty() ? ui->RunTab : ui->MemoTab);
    if (ui->EventBox->isEnabled())
        ui->EventBox->setFocus();
}

int TTimerSet::selectedRow() const
{
    // A mouse press moves the current row before the selection, and the entry is loaded when
    // the current row moves: the current row is the one chosen.
    const int current = ui->EventBox->currentRow();
    if (current >= 0)
        return current;
    const QList<QListWidgetItem*> selected = ui->EventBox->selectedItems();
    return selected.isEmpty() ? -1 : ui->EventBox->row(selected.first());
}

void TTimerSet::selectRow(int row)
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

QStringList TTimerSet::items() const
{
    QStringList lines;
    for (int i = 0; i < ui->EventBox->count(); ++i)
        lines.append(ui->EventBox->item(i)->text());
    return lines;
}

int TTimerSet::repeatKind() const
{
    return ui->Weekly->isChecked() ? 1 : ui->Monthly->isChecked() ? 2 : 0;
}

void TTimerSet::setRepeatKind(int kind)
{
    (kind == 1 ? ui->Weekly : kind == 2 ? ui->Monthly : ui->Daily)->setChecked(true);
}

void TTimerSet::setHours(bool hours)
{
    (hours ? ui->Hours : ui->Minutes)->setChecked(true);
}

void TTimerSet::EventClick()
{
    EventLoaded = false;
    if (!timerForm.NewMode) {
        SetEvent();
        const int row = selectedRow();
        const int slot = row >= 0 ? findLine(s.EventList, ui->EventBox->item(row)->text()) + 1 : 0;
        const bool dueToday = slot >= 1 && slot <= MaxEvents && s.EventRepeat[static_cast<size_t>(slot)] >= 0;
        setWindowTitle(dueToday
                           ? QStringLiteral("Nudgeon Setup - ") +
                                 QLocale::system().toString(services.clock.now().date(), QLocale::LongFormat)
                           : QStringLiteral("Nudgeon Setup"));
    }
    ui->UpdateBtn->setEnabled(false);
    ui->AddBtn->setEnabled(false);
    SetButtons();
    EventLoaded = true;
}

bool TTimerSet::loadRepeat(const QString& field)
{
    if (field.startsWith(QLatin1Char('/'))) {
        setRepeatKind(1);
        const std::pair<QCheckBox*, char> days[] = {
            {ui->Monday, '2'}, {ui->Tuesday, '3'},  {ui->Wednesday, '4'}, {ui->Thursday, '5'},
            {ui->Friday, '6'}, {ui->Saturday, '7'}, {ui->Sunday, '1'}};
        for (const auto& [box, digit] : days)
            box->setChecked(field.contains(QLatin1Char(digit)));
        return true;
    }
    bool isNumber = false;
    const int n = field.toInt(&isNumber);
    if (!isNumber) {
        services.errors.showError(invalidIntegerMessage(field));
        return false;
    }
    if (field.startsWith(QLatin1Char('-'))) {
        setRepeatKind(2);
        ui->RepeatMin->setValue(n == INT_MIN ? 31 : qAbs(n));
        return true;
    }
    setRepeatKind(0);
    ui->RepeatMin->setMaximum(1440);
    setHours(false);
    ui->RepeatMin->setValue(n);
    if (n > 60 && n % 60 == 0)
        setHours(true);
    return true;
}

void TTimerSet::SetEvent()
{
    if (ui->EventBox->count() == 0) {
        timerForm.NewMode = true;
        // A new entry starts from fresh controls, whatever the last one shown held.
        resetForNewEntry();
        noteLimit->load(QString());
        SelectGrpClick();
        return;
    }
    if (selectedRow() < 0)
        selectRow(0);
    EventStr = ui->EventBox->item(selectedRow())->text();
    const EventFields fields = splitEventLine(EventStr);
    if (!fields.hasComma)
        return;

    const std::optional<QTime> start = parseTimeText(fields.time);
    if (!start) {
        services.errors.showError(invalidTimeMessage(fields.time));
        return;
    }
    ui->TimePicker->setTime(*start);
    ui->PgmName->setText(fields.program);
    ui->RunParms->setText(fields.parameters);
    if (!loadRepeat(fields.repeat))
        return;

    {
        // The box follows the loaded program without emptying or filling the Program box.
        const QSignalBlocker quiet(ui->Email);
        ui->Email->setChecked(ui->PgmName->text() == mailProgram);
    }
    ui->PgmName->setEnabled(!ui->Email->isChecked());
    ui->BrowseBtn->setEnabled(!ui->Email->isChecked());

    NoteFile.clear();
    const NoteReference ref = takeNoteReference(fields.parameters, MaxLineLength);
    if (ref.parameters != fields.parameters || !ref.noteFile.isEmpty()) {
        ui->RunParms->setText(ref.parameters);
        NoteFile = ref.noteFile;
    }
    noteLimit->load(QString());

    if (NoteFile.isEmpty()) {
        if (ui->PageCtl->currentWidget() == ui->MemoTab)
            ui->PageCtl->setCurrentWidget(ui->RunTab);
    } else {
        if (ui->PageCtl->currentWidget() == ui->RunTab && ui->PgmName->text().isEmpty())
            ui->PageCtl->setCurrentWidget(ui->MemoTab);
        const QString path = s.PgmDir + NoteFile;
        if (QFileInfo::exists(path)) {
            const std::optional<QString> text = readNoteFile(path);
            if (text)
                noteLimit->load(*text);
            else
                services.errors.showError(cannotOpenMessage(path));
        }
    }
    SelectGrpClick();
}

void TTimerSet::resetForNewEntry()
{
    NoteFile.clear();
    ui->Email->setChecked(false);
    ui->TimePicker->setTime(services.clock.now().time());
    ui->PgmName->clear();
    ui->RunParms->clear();
    setRepeatKind(0);
    ui->RepeatMin->setValue(0);
    ui->DelBtn->setEnabled(false);
}

void TTimerSet::SetButtons()
{
    if (timerForm.NewMode) {
        ui->EventBox->setEnabled(false);
        ui->AddBtn->setEnabled(true);
        ui->DelBtn->setEnabled(false);
    } else {
        ui->EventBox->setEnabled(true);
        ui->AddBtn->setEnabled(ui->UpdateBtn->isEnabled());
        if (ui->EventBox->count() > 0)
            ui->DelBtn->setEnabled(true);
    }
    ui->CancelBtn->setText(ui->UpdateBtn->isEnabled() ? QStringLiteral("&Cancel") : QStringLiteral("&Close"));
}

void TTimerSet::UpdateOK()
{
    if (!timerForm.NewMode && EventLoaded)
        ui->UpdateBtn->setEnabled(true);
    SetButtons();
}

void TTimerSet::DoUpdate()
{
    UpdateOK();
}

void TTimerSet::ChimeClick()
{
    UpdateOK();
}

void TTimerSet::NewTime()
{
    UpdateOK();
}

void TTimerSet::SetNow()
{
    ui->TimePicker->setTime(services.clock.now().time());
    UpdateOK();
}

void TTimerSet::WeekDayClick()
{
    UpdateOK();
}

void TTimerSet::SelectGrpClick()
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
        DailyGrpClick();
        break;
    }
    UpdateOK();
}

void TTimerSet::DailyGrpClick()
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

void TTimerSet::EmailClick()
{
    const bool mail = ui->Email->isChecked();
    ui->PgmName->setText(mail ? mailProgram : QString());
    ui->PgmName->setEnabled(!mail);
    ui->BrowseBtn->setEnabled(!mail);
    UpdateOK();
}

void TTimerSet::BrowseClick()
{
    const std::optional<QString> file =
        services.files.chooseFile(QStringLiteral("Select file"),
                                  QStringLiteral("Exec Files (*.exe);;Batch Files (*.bat);;All Files (*)"));
    if (file)
        ui->PgmName->setText(*file);
}

void TTimerSet::HelpClick()
{
    if (services.help)
        services.help();
}

bool TTimerSet::DoAdd()
{
    const bool hasNote = !ui->Memo->toPlainText().isEmpty();
    if (hasNote) {
        if (NoteFile.isEmpty()) {
            const std::optional<QString> name =
                newNoteFileName(s.PgmDir, services.clock.now().date(), ui->TimePicker->time());
            if (!name) {
                services.errors.showError(cannotCreateMessage(s.PgmDir));
                return false;
            }
            NoteFile = *name;
        }
        const QString path = cutText(s.PgmDir + NoteFile);
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
    in.noteFile = NoteFile;
    EventStr = composeEventLine(in);

    const QStringList lines = items();
    if (findLine(lines, EventStr) < 0 && lines.size() < MaxEvents) {
        const QSignalBlocker quiet(ui->EventBox);
        ui->EventBox->addItem(EventStr);
    }
    selectRow(findLine(items(), EventStr));
    return true;
}

void TTimerSet::UpdateFile()
{
    s.EventPgm = cutText(ui->PgmName->text());
    s.EventParms = cutText(ui->RunParms->text());
    if (!NoteFile.isEmpty() && ui->Memo->toPlainText().isEmpty())
        deleteNoteFile(s.PgmDir + NoteFile);
    updateAlarms(s, items(), services.clock.now().date());
    timerForm.WriteCfgFile();
    if (ui->Chime->isChecked() != s.ChimeOn || ui->AutoStart->isChecked() != s.AutoStartOn) {
        s.ChimeOn = ui->Chime->isChecked();
        s.AutoStartOn = ui->AutoStart->isChecked();
        timerForm.UpdateRegistry(true);
    }
    EventClick();
    if (ui->EventBox->isEnabled())
        ui->EventBox->setFocus();
    timerForm.setInterval(2000);
}

void TTimerSet::AddClick()
{
    if (ui->Memo->toPlainText().isEmpty() && ui->PgmName->text().isEmpty())
        return;
    NoteFile.clear();
    if (!DoAdd())
        return;
    UpdateFile();
    ui->AddBtn->setEnabled(false);
}

void TTimerSet::UpdateClick()
{
    const int row = selectedRow();
    QString removed;
    if (row >= 0) {
        const QSignalBlocker quiet(ui->EventBox);
        removed = ui->EventBox->item(row)->text();
        delete ui->EventBox->takeItem(row);
    }
    if (!DoAdd()) {
        // The entry stays as it was, in the list as in the schedule.
        if (!removed.isEmpty()) {
            const QSignalBlocker quiet(ui->EventBox);
            ui->EventBox->addItem(removed);
            selectRow(findLine(items(), removed));
        }
        return;
    }
    UpdateFile();
    ui->UpdateBtn->setEnabled(false);
}

void TTimerSet::DeleteClick()
{
    const int row = selectedRow();
    if (row >= 0) {
        const QSignalBlocker quiet(ui->EventBox);
        EventStr = ui->EventBox->item(row)->text();
        delete ui->EventBox->takeItem(row);
    }
    if (!NoteFile.isEmpty())
        deleteNoteFile(s.PgmDir + NoteFile);
    noteLimit->load(QString());
    UpdateFile();
}
