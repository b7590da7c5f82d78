// SPDX-License-Identifier: MIT
#include "actions/NoteWindow.h"
#include "schedule/NoteFiles.h"
#include "tests/support/EngineTest.h"
#include "tests/support/FormChecks.h"
#include "ui_NoteWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>

namespace {

class NoteWindowTest : public EngineTest
{
protected:
    void SetUp() override
    {
        haveSettings("0,0");
        writeCfg(" 09:30 AM    ,,0,[1260930.txt]\r\n");
        start();
        memo = std::make_unique<NoteWindow>(fakes.errors);
        QObject::connect(memo.get(), &NoteWindow::snoozeRequested, form.get(), &Scheduler::snooze);
        QObject::connect(form.get(), &Scheduler::closedDown, memo.get(), &NoteWindow::closeAll);
    }
    void TearDown() override { memo.reset(); }

    // Shows a note the way the runner does, runs the test's steps on it and hides it should
    // they not.
    void showNote(const QString& text, const QString& path, std::function<void()> steps)
    {
        memo->showNote(text, path, " 09:30 AM", lines().first());
        steps();
        if (memo->isVisible())
            memo->hide();
        QCoreApplication::processEvents();
    }

    QString notePath() const { return dir.filePath("1260930.txt"); }

    std::unique_ptr<NoteWindow> memo;
};

QStringList captions(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* a : actions)
        texts.append(a->text());
    return texts;
}

} // namespace

TEST_F(NoteWindowTest, IsAFramelessStickyNoteOnTopWithItsMenu)
{
    // The form is built when first asked for.
    memo->form();
    EXPECT_EQ(memo->windowTitle(), "Zerir Irar");
    EXPECT_TRUE(memo->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(memo->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(memo->size(), QSize(143, 89));
    EXPECT_EQ(captions(memo->menu()->actions()), QStringList({"&Edit", "&Save", "Snoo&ze...", "&Close"}));
    EXPECT_EQ(captions(memo->form()->snoozeAction->menu()->actions()),
              QStringList(
                  {"&5 min", "&15 min", "&30 min", "1 &hour", "&2 hours", "&4 hours", "&8 hours", "1 &day"}));
    EXPECT_TRUE(memo->form()->noteEdit->isReadOnly());
    EXPECT_TRUE(memo->form()->editAction->isEnabled());
    EXPECT_FALSE(memo->form()->saveAction->isEnabled());
}

TEST_F(NoteWindowTest, ShowsTheNoteAndReturnsOnceItIsClosed)
{
    bool wasVisible = false;
    showNote("Call Ann", notePath(), [&] {
        wasVisible = memo->isVisible();
        EXPECT_EQ(memo->form()->noteEdit->toPlainText(), "Call Ann");
        EXPECT_EQ(memo->shownFile(), notePath());
        EXPECT_EQ(memo->form()->timeLabel->text(), " 09:30 AM");
        memo->form()->closeAction->trigger();
    });
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(memo->isVisible());
}

// The note grows with its text up to a part of the screen; only a longer text scrolls.
TEST_F(NoteWindowTest, GrowsWithItsTextUpToAPartOfTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QString sentence = "Bring the signed lease, two copies of the inventory and the spare keys";
    const struct
    {
        QString text;
        bool scrolls;
    } notes[] = {
        {"Call Ann", false},
        {"Call Ann at 10\nBring the papers\nAsk about the invoice of March", false},
        {sentence + "\n" + sentence + "\n" + sentence, false},
        {QString("A line of the note\n").repeated(200), true},
    };
    for (const auto& note : notes) {
        showNote(note.text, notePath(), [&] {
            QCoreApplication::processEvents();
            const std::string shown = note.text.left(20).toStdString();
            EXPECT_EQ(memo->form()->noteEdit->verticalScrollBar()->maximum() > 0, note.scrolls) << shown;
            EXPECT_TRUE(QRect(screen.topLeft(), QSize(screen.width() / 3, screen.height() / 2))
                            .contains(QRect(screen.topLeft(), memo->size())))
                << shown;
            FormChecks::expectShownWhole(*memo, shown);
            memo->form()->closeAction->trigger();
        });
    }
}

TEST_F(NoteWindowTest, TheKeyboardStartsInTheTextAndEveryControlIsNamed)
{
    FormChecks::expectNamedControls(*memo);
    showNote("x", notePath(), [&] {
        EXPECT_EQ(memo->focusWidget(), memo->form()->noteEdit);
        memo->form()->closeAction->trigger();
    });
}

TEST_F(NoteWindowTest, AnyMouseButtonOnTheMenuIconOpensTheMenu)
{
    showNote("x", notePath(), [&] {
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), button, button,
                              Qt::NoModifier);
            QApplication::sendEvent(memo->form()->menuButton, &press);
            EXPECT_TRUE(memo->menu()->isVisible());
            memo->menu()->hide();
        }
        memo->form()->closeAction->trigger();
    });
}

TEST_F(NoteWindowTest, EditAndSaveWriteTheNoteBackAndTheStateOutlivesTheWindow)
{
    ASSERT_TRUE(writeNoteFile(notePath(), "old"));
    showNote("old", notePath(), [&] {
        memo->form()->editAction->trigger();
        EXPECT_FALSE(memo->form()->noteEdit->isReadOnly());
        EXPECT_TRUE(memo->form()->saveAction->isEnabled());
        EXPECT_FALSE(memo->form()->editAction->isEnabled());
        memo->form()->noteEdit->setPlainText("new text\nsecond line");
        memo->form()->saveAction->trigger();
        EXPECT_TRUE(memo->form()->noteEdit->isReadOnly());
        EXPECT_FALSE(memo->form()->saveAction->isEnabled());
        memo->form()->editAction->trigger();
        memo->form()->noteEdit->setPlainText("unsaved");
        memo->form()->closeAction->trigger();
    });
    EXPECT_EQ(readNoteFile(notePath()), QString("new text\nsecond line"));

    // Shown again: the next note's text, still in the editing state it was left in.
    showNote("next note", notePath(), [&] {
        EXPECT_EQ(memo->form()->noteEdit->toPlainText(), "next note");
        EXPECT_FALSE(memo->form()->noteEdit->isReadOnly());
        EXPECT_TRUE(memo->form()->saveAction->isEnabled());
        memo->form()->closeAction->trigger();
    });
    EXPECT_EQ(readNoteFile(notePath()), QString("new text\nsecond line"));
}

TEST_F(NoteWindowTest, AFailedSaveIsReportedAndKeepsEditing)
{
    const QString path = dir.filePath("no/folder/1.txt");
    showNote("x", path, [&] {
        memo->form()->editAction->trigger();
        memo->form()->saveAction->trigger();
        EXPECT_EQ(fakes.errors.messages, QStringList({"Cannot create file " + path}));
        EXPECT_TRUE(memo->form()->saveAction->isEnabled());
        EXPECT_FALSE(memo->form()->noteEdit->isReadOnly());
        memo->form()->closeAction->trigger();
    });
}

TEST_F(NoteWindowTest, TypingStopsAt512CharactersButLongNotesLoadWhole)
{
    const QString longNote(600, 'n');
    showNote(longNote, notePath(), [&] {
        EXPECT_EQ(memo->form()->noteEdit->toPlainText(), longNote);
        memo->form()->editAction->trigger();
        QTextCursor cursor(memo->form()->noteEdit->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText("more");
        EXPECT_EQ(memo->form()->noteEdit->toPlainText(), longNote);
        memo->form()->noteEdit->clear();
        QTextCursor fresh(memo->form()->noteEdit->document());
        fresh.insertText(QString(510, 'a'));
        fresh.insertText("bcdef");
        EXPECT_EQ(memo->form()->noteEdit->toPlainText(), QString(510, 'a') + "bc");
        memo->form()->closeAction->trigger();
    });
}

TEST_F(NoteWindowTest, TheSnoozeItemsPutTheEntryOffAndHideTheNote)
{
    fakes.clock.setTime(QTime(9, 32));
    showNote("x", notePath(), [&] { memo->form()->snooze15MinutesAction->trigger(); });
    EXPECT_FALSE(memo->isVisible());
    EXPECT_EQ(form->status(), "Nudgeon:  15min");

    fakes.clock.setTime(QTime(10, 0));
    showNote("x", notePath(), [&] { memo->form()->snooze1DayAction->trigger(); });
    EXPECT_EQ(form->status(), "No Monday events...");
    EXPECT_EQ(fakes.store.values.value(Settings::snoozedKey + "|1260930.txt"),
              QDateTime(QDate(2026, 12, 8), QTime(10, 0)).toUTC().toString(Qt::ISODate));
}

TEST_F(NoteWindowTest, ASecondNoteWaitsForTheFirstAndSnoozesItsOwnEntry)
{
    const QString other = " 09:30 AM    ,,0,[2.txt]";
    form->replaceEntries({lines().first(), other});
    fakes.clock.setTime(QTime(9, 31));
    memo->showNote("first", notePath(), " 09:30 AM", lines().first());
    memo->showNote("second", dir.filePath("2.txt"), " 09:30 AM", other);
    memo->showNote("second", dir.filePath("2.txt"), " 09:30 AM", other);
    EXPECT_EQ(memo->form()->noteEdit->toPlainText(), "first");
    EXPECT_EQ(memo->waiting(), 1);
    memo->form()->closeAction->trigger();
    QCoreApplication::processEvents();
    ASSERT_TRUE(memo->isVisible());
    EXPECT_EQ(memo->form()->noteEdit->toPlainText(), "second");
    memo->form()->snooze5MinutesAction->trigger();
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(form->isDueToday(other));
    EXPECT_FALSE(form->isDueToday(lines().first()));
}

TEST_F(NoteWindowTest, ANoteSnoozedWhileItWaitsDoesNotShowUntilItsSnoozeEnds)
{
    const QString other = " 09:30 AM    ,,0,[2.txt]";
    form->replaceEntries({lines().first(), other});
    fakes.clock.setTime(QTime(9, 31));
    QStringList closed;
    QObject::connect(memo.get(), &NoteWindow::noteClosed,
                     [&](const QString& path, const QString& line) { closed.append(path + line); });
    memo->showNote("first", notePath(), " 09:30 AM", lines().first());
    memo->showNote("second", dir.filePath("2.txt"), " 09:30 AM", other);
    // Its notification's Snooze, while the first note shows.
    memo->snoozeNote(dir.filePath("2.txt"), other, 5);
    EXPECT_EQ(memo->waiting(), 0);
    EXPECT_EQ(closed, QStringList({dir.filePath("2.txt") + other}));
    EXPECT_EQ(memo->form()->noteEdit->toPlainText(), "first");
    memo->form()->closeAction->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(form->isDueToday(other));
    EXPECT_EQ(form->status(), "Nudgeon:  5min");
}

TEST_F(NoteWindowTest, ANoteOfOneLongLineShowsItsStartAndIsNeverSavedCut)
{
    const QByteArray line(3 << 20, 'x');
    {
        QFile f(notePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(line), line.size());
    }
    const NoteText note = readNote(notePath());
    ASSERT_TRUE(note.read);
    showNote(note.text, notePath(), [&] {
        const QString shown = memo->form()->noteEdit->toPlainText();
        EXPECT_TRUE(shown.startsWith("xxxx"));
        EXPECT_LT(shown.size(), 10000);
        EXPECT_TRUE(shown.contains("rest of this note is in its file")) << shown.right(80).toStdString();
        memo->form()->editAction->trigger();
        EXPECT_TRUE(memo->form()->noteEdit->isReadOnly());
        EXPECT_FALSE(memo->form()->saveAction->isEnabled());
        memo->form()->saveAction->trigger();
    });
    QFile f(notePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), line);
}
