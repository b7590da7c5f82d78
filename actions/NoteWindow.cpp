#include "NoteWindow.h"

#include "ErrorBox.h"
#include "FreeMemory.h"
#include "NoteFiles.h"
#include "NoteInSight.h"
#include "NotePlacement.h"
#include "ProgramPaths.h"
#include "Timer.h"
#include "TypingLimit.h"
#include "ui_NoteWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>

const int NoteWindow::SnoozeMinutes[8] = {5, 15, 30, 60, 120, 240, 480, 1440};

NoteWindow::NoteWindow(TTimerForm& timerForm, ErrorBox& errors)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::NoteWindow>()), noteMenu(std::make_unique<QMenu>()),
      snoozeMenu(std::make_unique<QMenu>()), timerForm(timerForm), errors(errors)
{
    ui->setupUi(this);
    setFixedSize(size());

    // Grey strip above the note, pale yellow note with maroon text, as the desktop paints them.
    QPalette strip = palette();
    strip.setColor(QPalette::Window, strip.color(QPalette::Disabled, QPalette::WindowText));
    setPalette(strip);
    setAutoFillBackground(true);
    QPalette note = ui->Memo->palette();
    note.setColor(QPalette::Base, note.color(QPalette::ToolTipBase));
    note.setColor(QPalette::Text, QColor(0x80, 0x00, 0x00));
    ui->Memo->setPalette(note);
    ui->MenuIcon->setToolTip(QString());

    snoozeMenu->addActions({ui->m5, ui->m15, ui->m30, ui->h1, ui->h2, ui->h4, ui->h8, ui->d1});
    ui->Snoose->setMenu(snoozeMenu.get());
    noteMenu->addActions({ui->Edit, ui->Save, ui->Snoose, ui->CloseItem});

    ui->MenuIcon->installEventFilter(this);
    connect(ui->Edit, &QAction::triggered, this, &NoteWindow::edit);
    connect(ui->Save, &QAction::triggered, this, &NoteWindow::save);
    connect(ui->CloseItem, &QAction::triggered, this, &QWidget::hide);
    connect(snoozeMenu.get(), &QMenu::triggered, this, &NoteWindow::snooze);
    typingLimit = new TypingLimit(ui->Memo, MaxTyped);
    new NoteInSight(*this);
}

NoteWindow::~NoteWindow() = default;

bool NoteWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Any mouse button on the menu icon opens the menu.
    if (watched == ui->MenuIcon && event->type() == QEvent::MouseButtonPress) {
        showMenu();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void NoteWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit hidden();
}

void NoteWindow::showAndWait(const QString& text, const QString& path, const QString& timeText)
{
    typingLimit->load(text);
    ui->FileName->setText(path);
    ui->Timelbl->setText(timeText);
    ui->Timelbl->adjustSize();

    if (!isVisible())
        NotePlacement::place(*this);
    show();
    raise();
    activateWindow();
    // Where the desktop cannot keep a window on top, it can at least mark the note as wanting
    // attention.
    QApplication::alert(this);

    // The program stays live while the note shows: ticks, the tray menu and this menu.
    QEventLoop wait;
    connect(this, &NoteWindow::hidden, &wait, &QEventLoop::quit);
    connect(&timerForm, &TTimerForm::closedDown, &wait, &QEventLoop::quit);
    if (isVisible() && !timerForm.isClosed())
        wait.exec();
    returnFreeMemory();
}

QString NoteWindow::shownFile() const
{
    return isVisible() ? ui->FileName->text() : QString();
}

void NoteWindow::snoozeShown(int position)
{
    snooze(snoozeMenu->actions().value(position));
}

void NoteWindow::showMenu()
{
    noteMenu->popup(frameGeometry().topLeft() + QPoint(20, 12));
}

void NoteWindow::edit()
{
    ui->Memo->setReadOnly(false);
    ui->Save->setEnabled(true);
    ui->Edit->setEnabled(false);
}

void NoteWindow::save()
{
    const QString path = ui->FileName->text();
    if (!writeNoteFile(path, ui->Memo->toPlainText())) {
        errors.showError(cannotCreateMessage(path));
        return;
    }
    ui->Memo->setReadOnly(true);
    ui->Save->setEnabled(false);
    ui->Edit->setEnabled(true);
}

void NoteWindow::snooze(QAction* item)
{
    const int position = static_cast<int>(snoozeMenu->actions().indexOf(item));
    if (position < 0 || position >= 8)
        return;
    timerForm.Snooze(namePart(ui->FileName->text()), SnoozeMinutes[position]);
    hide();
}
