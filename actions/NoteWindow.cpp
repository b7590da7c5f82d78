// SPDX-License-Identifier: MIT
#include "NoteWindow.h"

#include "ErrorBox.h"
#include "FreeMemory.h"
#include "NoteFiles.h"
#include "NoteInSight.h"
#include "NotePlacement.h"
#include "ProgramPaths.h"
#include "Scheduler.h"
#include "TypingLimit.h"
#include "ui_NoteWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

const int NoteWindow::SnoozeMinutes[8] = {5, 15, 30, 60, 120, 240, 480, 1440};

namespace {

// What the window shows of a note: far more than fits, yet little enough to lay out at once.
// A long line costs the text layout far more than its length says.
constexpr qsizetype MaxShownCharacters = 8192;
constexpr qsizetype MaxShownLine = 1024;
// A note cut when it was read holds at least this many characters: the window shows it cut too.
static_assert(MaxShownCharacters < MaxNoteBytes / 4);

// The start of the text that is shown; *cut tells whether anything was left out.
QString shownPart(const QString& text, bool* cut)
{
    QString shown;
    *cut = false;
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), from);
        if (end < 0)
            end = text.size();
        if (end - from > MaxShownLine)
            *cut = true;
        if (from > 0)
            shown += QLatin1Char('\n');
        shown += QStringView(text).mid(from, qMin(end - from, MaxShownLine));
        if (shown.size() > MaxShownCharacters) {
            shown.truncate(MaxShownCharacters);
            *cut = true;
            break;
        }
        from = end + 1;
    }
    return shown;
}

} // namespace

NoteWindow::NoteWindow(Scheduler& scheduler, ErrorBox& errors)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::NoteWindow>()), noteMenu(std::make_unique<QMenu>()),
      snoozeMenu(std::make_unique<QMenu>()), scheduler(scheduler), errors(errors)
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
    // A program closed while notes wait shows none of them.
    connect(&scheduler, &Scheduler::closedDown, this, [this] {
        queue.clear();
        hide();
    });
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
    emit noteClosed(ui->FileName->text(), shownLine);
    returnFreeMemory();
    // The next waiting note shows once this one is fully gone.
    if (!queue.isEmpty())
        QTimer::singleShot(0, this, [this] {
            if (!queue.isEmpty() && !isVisible())
                display(queue.takeFirst());
        });
}

void NoteWindow::showNote(const QString& text, const QString& path, const QString& timeText,
                          const QString& line)
{
    const Note note{text, path, timeText, line};
    if (!isVisible() && queue.isEmpty()) {
        display(note);
        return;
    }
    // Never replaces the shown note; the same note of the same entry waits only once.
    const auto same = [&note](const Note& n) {
        return n.path == note.path && n.line == note.line;
    };
    if ((isVisible() && ui->FileName->text() == path && shownLine == line) ||
        std::any_of(queue.begin(), queue.end(), same))
        return;
    queue.append(note);
}

void NoteWindow::display(const Note& note)
{
    QString shown = shownPart(note.text, &shownCut);
    if (shownCut)
        shown += QLatin1Char('\n') + tr("[... The rest of this note is in its file.]");
    typingLimit->load(shown);
    // A note shown in part is never saved: that would cut the file. Any other keeps the
    // editing state the last one was left in.
    if (shownCut) {
        ui->Memo->setReadOnly(true);
        ui->Save->setEnabled(false);
    }
    ui->Edit->setEnabled(!shownCut && ui->Memo->isReadOnly());
    ui->FileName->setText(note.path);
    shownLine = note.line;
    ui->Timelbl->setText(note.timeText);
    ui->Timelbl->adjustSize();

    if (!isVisible())
        NotePlacement::place(*this);
    show();
    raise();
    activateWindow();
    // Where the desktop cannot keep a window on top, it can at least mark the note as wanting
    // attention.
    QApplication::alert(this);
}

QString NoteWindow::shownFile() const
{
    return isVisible() ? ui->FileName->text() : QString();
}

void NoteWindow::snoozeNote(const QString& path, const QString& line, int minutes)
{
    if (isVisible() && ui->FileName->text() == path && shownLine == line) {
        scheduler.Snooze(line, namePart(path), minutes);
        hide();
        return;
    }
    const auto waiting = std::find_if(queue.begin(), queue.end(),
                                      [&](const Note& n) { return n.path == path && n.line == line; });
    if (waiting != queue.end()) {
        queue.erase(waiting);
        emit noteClosed(path, line);
    }
    scheduler.Snooze(line, namePart(path), minutes);
}

void NoteWindow::showMenu()
{
    noteMenu->popup(frameGeometry().topLeft() + QPoint(20, 12));
}

void NoteWindow::edit()
{
    if (shownCut)
        return;
    ui->Memo->setReadOnly(false);
    ui->Save->setEnabled(true);
    ui->Edit->setEnabled(false);
}

void NoteWindow::save()
{
    const QString path = ui->FileName->text();
    if (shownCut)
        return;
    QString problem;
    if (!writeNoteFile(path, ui->Memo->toPlainText(), &problem)) {
        errors.showError(problem.isEmpty() ? cannotCreateMessage(path) : problem);
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
    snoozeNote(ui->FileName->text(), shownLine, SnoozeMinutes[position]);
}
