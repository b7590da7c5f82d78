// SPDX-License-Identifier: MIT
#include "actions/NoteWindow.h"

#include "actions/NoteInSight.h"
#include "actions/NotePlacement.h"
#include "actions/TypingLimit.h"
#include "platform/ErrorBox.h"
#include "platform/FreeMemory.h"
#include "platform/ProgramPaths.h"
#include "schedule/NoteFiles.h"
#include "ui_NoteWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QtMath>
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

NoteWindow::NoteWindow(ErrorBox& errors)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), errors(errors)
{
    new NoteInSight(*this);
}

void NoteWindow::closeAll()
{
    queue.clear();
    hide();
}

// The form is built when the first note shows: its text box lays text out and loads a font, which a program
// that shows no note never needs.
Ui::NoteWindow& NoteWindow::builtForm()
{
    if (ui)
        return *ui;
    ui = std::make_unique<Ui::NoteWindow>();
    noteMenu = std::make_unique<QMenu>();
    snoozeMenu = std::make_unique<QMenu>();
    ui->setupUi(this);
    designSize = size();

    // Grey strip above the note, pale yellow note with maroon text, as the desktop paints them.
    QPalette strip = palette();
    strip.setColor(QPalette::Window, strip.color(QPalette::Disabled, QPalette::WindowText));
    setPalette(strip);
    setAutoFillBackground(true);
    QPalette note = ui->noteEdit->palette();
    note.setColor(QPalette::Base, note.color(QPalette::ToolTipBase));
    note.setColor(QPalette::Text, QColor(0x80, 0x00, 0x00));
    ui->noteEdit->setPalette(note);
    ui->menuButton->setToolTip(QString());

    snoozeMenu->addActions({ui->snooze5MinutesAction, ui->snooze15MinutesAction, ui->snooze30MinutesAction,
                            ui->snooze1HourAction, ui->snooze2HoursAction, ui->snooze4HoursAction,
                            ui->snooze8HoursAction, ui->snooze1DayAction});
    ui->snoozeAction->setMenu(snoozeMenu.get());
    noteMenu->addActions({ui->editAction, ui->saveAction, ui->snoozeAction, ui->closeAction});

    ui->menuButton->installEventFilter(this);
    // The keyboard reaches the menu too: Space on the focused button.
    connect(ui->menuButton, &QToolButton::clicked, this, &NoteWindow::showMenu);
    connect(ui->editAction, &QAction::triggered, this, &NoteWindow::edit);
    connect(ui->saveAction, &QAction::triggered, this, &NoteWindow::save);
    connect(ui->closeAction, &QAction::triggered, this, &QWidget::hide);
    connect(snoozeMenu.get(), &QMenu::triggered, this, &NoteWindow::snooze);
    typingLimit = new TypingLimit(ui->noteEdit, MaxTyped);
    return *ui;
}

QMenu* NoteWindow::menu()
{
    builtForm();
    return noteMenu.get();
}

Ui::NoteWindow* NoteWindow::form()
{
    return &builtForm();
}

NoteWindow::~NoteWindow() = default;

bool NoteWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Any mouse button on the menu icon opens the menu.
    if (ui && watched == ui->menuButton && event->type() == QEvent::MouseButtonPress) {
        showMenu();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void NoteWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit hidden();
    emit noteClosed(shownPath, shownLine);
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
    if ((isVisible() && shownPath == path && shownLine == line) ||
        std::any_of(queue.begin(), queue.end(), same))
        return;
    queue.append(note);
}

void NoteWindow::display(const Note& note)
{
    builtForm();
    QString shown = shownPart(note.text, &shownCut);
    if (shownCut)
        shown += QLatin1Char('\n') + tr("[... The rest of this note is in its file.]");
    typingLimit->load(shown);
    // A note shown in part is never saved: that would cut the file. Any other keeps the
    // editing state the last one was left in.
    if (shownCut) {
        ui->noteEdit->setReadOnly(true);
        ui->saveAction->setEnabled(false);
    }
    ui->editAction->setEnabled(!shownCut && ui->noteEdit->isReadOnly());
    shownPath = note.path;
    shownLine = note.line;
    ui->timeLabel->setText(note.timeText);

    if (!isVisible()) {
        fitToText(shown);
        NotePlacement::place(*this);
    }
    // Each note opens with the keyboard in its text, before the menu button.
    ui->noteEdit->setFocus();
    show();
    raise();
    activateWindow();
    // Where the desktop cannot keep a window on top, it can at least mark the note as wanting
    // attention.
    QApplication::alert(this);
}

QString NoteWindow::shownFile() const
{
    return isVisible() ? shownPath : QString();
}

void NoteWindow::snoozeNote(const QString& path, const QString& line, int minutes)
{
    if (isVisible() && shownPath == path && shownLine == line) {
        emit snoozeRequested(line, namePart(path), minutes);
        hide();
        return;
    }
    const auto waiting = std::find_if(queue.begin(), queue.end(),
                                      [&](const Note& n) { return n.path == path && n.line == line; });
    // The snooze is told first, as for the shown note: the close that follows is its own.
    emit snoozeRequested(line, namePart(path), minutes);
    if (waiting != queue.end()) {
        queue.erase(waiting);
        emit noteClosed(path, line);
    }
}

void NoteWindow::fitToText(const QString& text)
{
    // The note grows with its text up to a third of the screen's width and half its height;
    // only a longer text scrolls.
    const QScreen* shownOn = screen();
    const QRect room = shownOn ? shownOn->availableGeometry() : QRect();
    const QSize largest = designSize.expandedTo(QSize(room.width() / 3, room.height() / 2));
    QPlainTextEdit* edit = ui->noteEdit;
    QTextDocument measure;
    measure.setDefaultFont(edit->font());
    measure.setDocumentMargin(edit->document()->documentMargin());
    measure.setDefaultTextOption(edit->document()->defaultTextOption());
    measure.setPlainText(text);
    const int frame = 2 * edit->frameWidth();
    const int width = std::clamp(qCeil(measure.idealWidth()) + frame, designSize.width(), largest.width());
    measure.setTextWidth(width - frame);
    const int strip = ui->stripLayout->sizeHint().height();
    // The edit wants a little room below its last line before it stops scrolling.
    const int slack = edit->fontMetrics().lineSpacing() / 2;
    const int height = std::clamp(strip + qCeil(measure.size().height()) + frame + slack, designSize.height(),
                                  largest.height());
    resize(width, height);
}

void NoteWindow::showMenu()
{
    noteMenu->popup(frameGeometry().topLeft() + QPoint(20, 12));
}

void NoteWindow::edit()
{
    if (shownCut)
        return;
    ui->noteEdit->setReadOnly(false);
    ui->saveAction->setEnabled(true);
    ui->editAction->setEnabled(false);
}

void NoteWindow::save()
{
    const QString path = shownPath;
    if (shownCut)
        return;
    QString problem;
    if (!writeNoteFile(path, ui->noteEdit->toPlainText(), &problem)) {
        errors.showError(problem.isEmpty() ? cannotCreateMessage(path) : problem);
        return;
    }
    ui->noteEdit->setReadOnly(true);
    ui->saveAction->setEnabled(false);
    ui->editAction->setEnabled(true);
}

void NoteWindow::snooze(QAction* item)
{
    const int position = static_cast<int>(snoozeMenu->actions().indexOf(item));
    if (position < 0 || position >= 8)
        return;
    snoozeNote(shownPath, shownLine, SnoozeMinutes[position]);
}
