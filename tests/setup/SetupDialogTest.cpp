// SPDX-License-Identifier: MIT
#include "setup/SetupDialog.h"
#include "engine/CommandLine.h"
#include "engine/RunningSchedule.h"
#include "schedule/NoteFiles.h"
#include "tests/support/EngineTest.h"
#include "tests/support/FormChecks.h"
#include "ui_SetupDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLocale>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <tuple>

namespace {

// The dialog over an engine on fakes, opened on the schedule as the tray opens it.
class SetupTest : public EngineTest
{
protected:
    // Sunday 6 December 2026, 07:00.
    void open(const QByteArray& lines, bool newMode = false, const QString& settings = QStringLiteral("0,0"))
    {
        fakes.clock.set(QDate(2026, 12, 6), QTime(7, 0));
        haveSettings(settings);
        writeCfg(lines);
        start();
        dialog = std::make_unique<SetupDialog>(*form, services(), newMode);
        dialog->fill();
    }
    SetupDialog::Services services()
    {
        return SetupDialog::Services{
            fakes.clock, fakes.errors, fakes.files, fakes.settings, [this] { ++helpOpened; }, paths().pgmDir};
    }
    Ui::SetupDialog& ui() { return *dialog->form(); }
    QStringList listed()
    {
        QStringList lines;
        for (int i = 0; i < ui().scheduleList->count(); ++i)
            lines.append(ui().scheduleList->item(i)->data(SetupDialog::LineRole).toString());
        return lines;
    }
    // Chooses an entry as the user does, by clicking it in the list: on a mouse press the list
    // moves its current row before it moves its selection.
    void choose(int row)
    {
        QListWidget* list = ui().scheduleList;
        dialog->show();
        list->scrollToItem(list->item(row));
        const QPoint at = list->visualItemRect(list->item(row)).center();
        const QPoint global = list->viewport()->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &release);
        ASSERT_EQ(list->currentRow(), row);
    }
    QString note(const QString& name) { return readNoteFile(dir.filePath(name)).value_or("<missing>"); }
    QString storedSettings() { return fakes.store.values.value(Settings::uninstallKey + "|Settings"); }

    std::unique_ptr<SetupDialog> dialog;
    int helpOpened = 0;
};

const QByteArray twoEntries = " 08:00 AM    ,/usr/bin/true,0,\r\n06:00 PM    ,,30,[1200900.txt]\r\n";

} // namespace

TEST_F(SetupTest, OpensOnTheEntryDueNextWithTheDateInTheCaption)
{
    open(twoEntries);
    EXPECT_EQ(ui().scheduleList->currentRow(), 0);
    EXPECT_EQ(dialog->windowTitle(),
              "Nudgeon Setup - " + QLocale::system().toString(QDate(2026, 12, 6), QLocale::LongFormat));
    EXPECT_EQ(ui().programEdit->text(), "/usr/bin/true");
    EXPECT_EQ(ui().startTimeEdit->time(), QTime(8, 0));
    EXPECT_FALSE(ui().updateButton->isEnabled());
    EXPECT_FALSE(ui().addButton->isEnabled());
    EXPECT_TRUE(ui().deleteButton->isEnabled());
    EXPECT_EQ(ui().closeButton->text(), "&Close");
    EXPECT_EQ(ui().pageTabs->currentWidget(), ui().runTab);

    // An entry no longer due today gives the plain caption.
    fakes.clock.setTime(QTime(23, 45));
    choose(1);
    EXPECT_EQ(dialog->windowTitle(), "Nudgeon Setup");
}

TEST_F(SetupTest, AFileOutOfOrderOpensOnTheEntryDueNextAndDatesTheRightOne)
{
    // The list sorts " 08:30 AM" first; the file has it second.
    open("05:30 PM    ,,0,\r\n 08:30 AM    ,/usr/bin/true,0,\r\n");
    ASSERT_EQ(form->nextLine(), lines()[1]);
    EXPECT_EQ(listed().value(ui().scheduleList->currentRow()), " 08:30 AM    ,/usr/bin/true,0,");
    EXPECT_EQ(ui().programEdit->text(), "/usr/bin/true");

    // The evening entry is done for today: the caption says so whatever its place in the list.
    tickAt(QTime(17, 30, 1));
    fakes.clock.setTime(QTime(7, 0));
    choose(1);
    EXPECT_EQ(ui().startTimeEdit->time(), QTime(17, 30));
    EXPECT_EQ(dialog->windowTitle(), "Nudgeon Setup");
    choose(0);
    EXPECT_EQ(dialog->windowTitle(),
              "Nudgeon Setup - " + QLocale::system().toString(QDate(2026, 12, 6), QLocale::LongFormat));
}

// The form is laid out for the desktop's font: at the size it was designed for, 8 points, it
// opens at its design size, and a larger font makes it grow rather than cut a caption or stack
// controls on each other.
TEST_F(SetupTest, OpensAtItsDesignSizeAndGrowsWholeForALargerFont)
{
    // A row longer than the list is elided: it widens nothing.
    QByteArray lines =
        " 10:01 AM    ,,0,\r\n10:01 PM    ,/opt/tools/backup.sh,0,--full --verbose /home /srv\r\n";
    for (int minute = 10; minute < 30; ++minute)
        lines += "08:" + QByteArray::number(minute) + " PM    ,,0,\r\n";
    const std::pair<std::string, std::function<void()>> views[] = {
        {"run",
         [this] {
             ui().pageTabs->setCurrentWidget(ui().runTab);
         }},
        {"note",
         [this] {
             ui().pageTabs->setCurrentWidget(ui().noteTab);
         }},
        {"weekly",
         [this] {
             ui().pageTabs->setCurrentWidget(ui().repeatTab), ui().weeklyRadio->setChecked(true);
         }},
        {"monthly",
         [this] {
             ui().monthlyRadio->setChecked(true);
         }},
        {"daily",
         [this] {
             ui().dailyRadio->setChecked(true);
         }},
    };
    const QFont desktopFont = QApplication::font();
    for (const int points : {8, 15}) {
        QFont font = desktopFont;
        font.setPointSize(points);
        QApplication::setFont(font);
        open(lines);
        dialog->show();
        QCoreApplication::processEvents();
        if (points == 8) {
            EXPECT_NEAR(dialog->width(), 540, 3);
            EXPECT_NEAR(dialog->height(), 217, 3);
        }
        // "10:01 AM" and "10:01 PM" never look alike: the list shows a whole time and the start of
        // what the entry does beside its scroll bar.
        QListWidget* list = ui().scheduleList;
        ASSERT_TRUE(list->verticalScrollBar()->isVisible()) << points;
        const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        EXPECT_GE(list->viewport()->width() - 2 * margin,
                  list->fontMetrics().horizontalAdvance("10:01 PM  backup.sh"))
            << points;
        for (const auto& [view, show] : views) {
            show();
            FormChecks::expectShownWhole(*dialog, std::to_string(points) + "pt " + view);
        }
        dialog.reset();
        form.reset();
    }
    QApplication::setFont(desktopFont);
}

// Tab walks the form in reading order, every control on the way: the list and its buttons, the
// page shown, the start time, Help and the two settings.
TEST_F(SetupTest, TabWalksEveryControlInReadingOrder)
{
    const QStringList head = {"scheduleList", "addButton",   "updateButton",
                              "deleteButton", "closeButton", "pageTabs"};
    const QStringList tail = {"startTimeEdit", "nowButton", "helpButton", "chimeCheck", "autoStartCheck"};
    const QStringList intervals = {"dailyRadio", "weeklyRadio", "monthlyRadio"};
    open(twoEntries);
    const std::tuple<std::string, std::function<void()>, QStringList> rows[] = {
        {"run",
         [this] { ui().pageTabs->setCurrentWidget(ui().runTab); },
         {"programEdit", "browseButton", "parametersEdit"}},
        {"note", [this] { ui().pageTabs->setCurrentWidget(ui().noteTab); }, {"noteEdit", "emailCheck"}},
        {"daily",
         [this] {
             ui().pageTabs->setCurrentWidget(ui().repeatTab);
             ui().dailyRadio->setChecked(true);
         },
         intervals + QStringList{"minutesRadio", "hoursRadio", "repeatSpin"}},
        {"weekly", [this] { ui().weeklyRadio->setChecked(true); },
         intervals + QStringList{"mondayCheck", "tuesdayCheck", "wednesdayCheck", "thursdayCheck",
                                 "fridayCheck", "saturdayCheck", "sundayCheck"}},
        {"monthly", [this] { ui().monthlyRadio->setChecked(true); }, intervals + QStringList{"repeatSpin"}},
    };
    dialog->show();
    // An edit: Add and Update take part.
    ui().parametersEdit->setText("-v");
    for (const auto& [view, show, page] : rows) {
        show();
        ui().scheduleList->setFocus();
        QStringList walked = {"scheduleList"};
        for (int step = 0; step < 60; ++step) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(dialog->focusWidget(), &tab);
            const QString name = FormChecks::ownerOf(dialog->focusWidget())->objectName();
            if (name == "scheduleList")
                break;
            // A time edit's Tab first walks its own sections.
            if (walked.last() != name)
                walked.append(name);
        }
        EXPECT_EQ(walked, head + page + tail) << view;
    }
}

TEST_F(SetupTest, EveryControlIsNamedForScreenReaders)
{
    open(twoEntries);
    FormChecks::expectNamedControls(*dialog);
}

// Each row shows the time and what its entry does, and stands for its line.
TEST_F(SetupTest, EachRowSaysWhatItsEntryDoes)
{
    ASSERT_TRUE(writeNoteFile(dir.filePath("1200900.txt"), "\n  Call the bank\nabout the loan"));
    const std::pair<QString, QString> rows[] = {
        {" 09:30 AM    ,/opt/tools/backup.sh,0,--full mm-dd-yy", "09:30 AM  backup.sh --full mm-dd-yy"},
        {"12:40 PM    ,,0,[1200900.txt]", "12:40 PM  note: Call the bank"},
        {" 07:00 AM    ,DARIZIZ.EXE,0,ann@example.org [1200900.txt]", "07:00 AM  mail to ann@example.org"},
        {"06:00 PM    ,/usr/share/sounds/bell.WAV,0,", "06:00 PM  sound bell.WAV"},
        {"06:30 PM    ,dialer.exe,0,5551234 [1200900.txt]", "06:30 PM  dial 5551234, note: Call the bank"},
        {"08:00 AM    ,,90,[gone.txt]", "08:00 AM  note: gone.txt  (every 90 min)"},
        {"08:15 AM    ,top,120,", "08:15 AM  top  (every 2 h)"},
        {"11:00 PM    ,,-15,", "11:00 PM  (monthly on day 15)"},
    };
    QByteArray file;
    for (const auto& row : rows)
        file += row.first.toUtf8() + "\r\n";
    open(file);
    QListWidget* list = ui().scheduleList;
    ASSERT_EQ(list->count(), std::size(rows)) << listed().join("|").toStdString();
    for (int i = 0; i < list->count(); ++i) {
        const QString line = list->item(i)->data(SetupDialog::LineRole).toString();
        const auto row =
            std::find_if(std::begin(rows), std::end(rows), [&](const auto& r) { return r.first == line; });
        ASSERT_NE(row, std::end(rows)) << line.toStdString();
        EXPECT_EQ(list->item(i)->text(), row->second) << line.toStdString();
    }
    // The rows follow their lines' order, which the schedule is written in.
    QStringList sorted = listed();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(listed(), sorted);
}

TEST_F(SetupTest, LoadsEachPartOfTheSelectedEntry)
{
    ASSERT_TRUE(writeNoteFile(dir.filePath("1200900.txt"), "Stand up\nand stretch"));
    open(twoEntries);
    choose(1);
    EXPECT_EQ(ui().startTimeEdit->time(), QTime(18, 0));
    EXPECT_EQ(ui().programEdit->text(), "");
    EXPECT_EQ(ui().parametersEdit->text(), "");
    EXPECT_EQ(dialog->noteFile(), "1200900.txt");
    EXPECT_EQ(ui().noteEdit->toPlainText(), "Stand up\nand stretch");
    EXPECT_TRUE(ui().dailyRadio->isChecked());
    EXPECT_TRUE(ui().minutesRadio->isChecked());
    EXPECT_EQ(ui().repeatSpin->value(), 30);
    // A note without a program shows the Note page.
    EXPECT_EQ(ui().pageTabs->currentWidget(), ui().noteTab);
    // Loading is no edit.
    EXPECT_FALSE(ui().updateButton->isEnabled());
}

TEST_F(SetupTest, ComposesTheWorkedExamplesIntoTheScheduleFile)
{
    open(" 08:00 AM    ,/usr/bin/true,0,\r\n");
    ui().startTimeEdit->setTime(QTime(14, 15));
    ui().programEdit->setText("/opt/tools/backup");
    ui().parametersEdit->setText("/quiet");
    ui().weeklyRadio->setChecked(true);
    for (QCheckBox* day : {ui().tuesdayCheck, ui().thursdayCheck})
        day->setChecked(false);
    EXPECT_TRUE(ui().addButton->isEnabled());
    ui().addButton->click();

    ui().startTimeEdit->setTime(QTime(9, 30));
    ui().programEdit->clear();
    ui().parametersEdit->clear();
    ui().dailyRadio->setChecked(true);
    ui().hoursRadio->setChecked(true);
    ui().repeatSpin->setValue(2);
    ui().noteEdit->setPlainText("Call Ann");
    ui().addButton->click();

    ui().startTimeEdit->setTime(QTime(23, 45));
    ui().programEdit->setText("/home/ann/bell.wav");
    ui().monthlyRadio->setChecked(true);
    ui().repeatSpin->setValue(1);
    ui().noteEdit->clear();
    ui().addButton->click();

    EXPECT_EQ(cfgBytes(), QByteArray(" 08:00 AM    ,/usr/bin/true,0,\r\n"
                                     " 09:30 AM    ,,120,[1260930.txt]\r\n"
                                     "02:15 PM    ,/opt/tools/backup,/246,/quiet\r\n"
                                     "11:45 PM    ,/home/ann/bell.wav,-1,\r\n"));
    EXPECT_EQ(note("1260930.txt"), "Call Ann");
    EXPECT_EQ(lines(), listed());
    EXPECT_TRUE(form->isDueToday(lines()[1]));
    EXPECT_FALSE(form->isDueToday(lines()[3])); // the 1st, not the 6th
    EXPECT_EQ(form->interval(), 2000);
}

TEST_F(SetupTest, UpdateKeepsTheNoteFileAndAnEmptiedNoteIsDeleted)
{
    ASSERT_TRUE(writeNoteFile(dir.filePath("1200900.txt"), "old"));
    open(twoEntries);
    choose(1);
    ui().startTimeEdit->setTime(QTime(19, 15));
    ui().noteEdit->setPlainText("new words");
    EXPECT_EQ(ui().closeButton->text(), "&Cancel");
    ui().updateButton->click();
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", "07:15 PM    ,,30,[1200900.txt]"}));
    EXPECT_EQ(note("1200900.txt"), "new words");
    EXPECT_FALSE(ui().updateButton->isEnabled());
    EXPECT_EQ(ui().closeButton->text(), "&Close");

    ui().noteEdit->clear();
    ui().programEdit->setText("/usr/bin/false");
    ui().updateButton->click();
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", "07:15 PM    ,/usr/bin/false,30,"}));
    EXPECT_FALSE(QFile::exists(dir.filePath("1200900.txt")));
    EXPECT_EQ(cfgBytes(),
              QByteArray(" 08:00 AM    ,/usr/bin/true,0,\r\n07:15 PM    ,/usr/bin/false,30,\r\n"));
}

TEST_F(SetupTest, AddAfterEditingLeavesTheLoadedEntryAndGivesTheCopyItsOwnNote)
{
    ASSERT_TRUE(writeNoteFile(dir.filePath("1200900.txt"), "shared text"));
    open(twoEntries);
    choose(1);
    ui().startTimeEdit->setTime(QTime(9, 30));
    ui().addButton->click();
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", " 09:30 AM    ,,30,[1260930.txt]",
                                     "06:00 PM    ,,30,[1200900.txt]"}));
    EXPECT_EQ(note("1260930.txt"), "shared text");
    EXPECT_EQ(note("1200900.txt"), "shared text");
}

TEST_F(SetupTest, DeletingEntriesDownToNoneLeavesANewEntryForm)
{
    ASSERT_TRUE(writeNoteFile(dir.filePath("1200900.txt"), "x"));
    open(twoEntries);
    choose(1);
    ui().deleteButton->click();
    EXPECT_FALSE(QFile::exists(dir.filePath("1200900.txt")));
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,"}));
    EXPECT_EQ(lines().size(), 1);

    fakes.clock.setTime(QTime(10, 20));
    ui().deleteButton->click();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(cfgBytes(), QByteArray());
    EXPECT_TRUE(dialog->isNewEntriesOnly());
    EXPECT_FALSE(ui().scheduleList->isEnabled());
    EXPECT_FALSE(ui().deleteButton->isEnabled());
    EXPECT_TRUE(ui().addButton->isEnabled());
    EXPECT_EQ(dialog->windowTitle(), "Nudgeon Setup");
    // The controls are ready for a new entry, not showing the deleted one.
    EXPECT_EQ(ui().programEdit->text(), "");
    EXPECT_EQ(ui().startTimeEdit->time(), QTime(10, 20));
    EXPECT_EQ(ui().repeatSpin->value(), 0);
    EXPECT_TRUE(ui().dailyRadio->isChecked());
}

TEST_F(SetupTest, DuplicatesAndAThirtyFirstEntryAreNotAdded)
{
    open(twoEntries);
    ui().programEdit->setText("/USR/BIN/TRUE");
    ui().addButton->click();
    EXPECT_EQ(listed().size(), 2);
    EXPECT_EQ(ui().scheduleList->currentRow(), 0);

    QByteArray full;
    for (int i = 0; i < 30; ++i)
        full += QStringLiteral(" %1:00 AM    ,/bin/p%2,0,\r\n")
                    .arg(1 + i % 11, 2, 10, QChar('0'))
                    .arg(i)
                    .toLatin1();
    dialog.reset();
    open(full);
    ASSERT_EQ(listed().size(), 30);
    ui().startTimeEdit->setTime(QTime(1, 0));
    ui().programEdit->setText("/bin/extra");
    ui().noteEdit->setPlainText("orphan note");
    ui().addButton->click();
    EXPECT_EQ(listed().size(), 30);
    EXPECT_FALSE(listed().join('\n').contains("extra"));
    // The note was still written, into a file no entry refers to.
    EXPECT_EQ(note("1260100.txt"), "orphan note");
}

TEST_F(SetupTest, MinutesAndHoursConvertTheNumberAsTheySwitch)
{
    open(twoEntries);
    struct Case
    {
        int minutes;
        int hours;
    };
    for (const Case& c : {Case{90, 1}, Case{30, 0}, Case{20, 20}}) {
        ui().minutesRadio->setChecked(true);
        ui().repeatSpin->setValue(c.minutes);
        ui().hoursRadio->setChecked(true);
        EXPECT_EQ(ui().repeatSpin->value(), c.hours) << c.minutes;
        EXPECT_EQ(ui().repeatSpin->maximum(), 24);
    }
    ui().repeatSpin->setValue(2);
    ui().minutesRadio->setChecked(true);
    EXPECT_EQ(ui().repeatSpin->value(), 2);
    EXPECT_EQ(ui().repeatSpin->maximum(), 1440);
}

TEST_F(SetupTest, SwitchingMinutesAndHoursAloneIsAnEditOnlyWhenTheNumberChanges)
{
    open(" 08:00 AM    ,/usr/bin/true,20,\r\n 09:00 AM    ,/usr/bin/true,90,\r\n");
    ui().hoursRadio->setChecked(true); // 20 stays 20
    EXPECT_FALSE(ui().updateButton->isEnabled());
    choose(1);
    ui().hoursRadio->setChecked(true); // 90 becomes 1
    EXPECT_TRUE(ui().updateButton->isEnabled());
}

TEST_F(SetupTest, DailyFieldsLoadInTheUnitTheyWereMadeIn)
{
    open(" 01:00 AM    ,/a,120,\r\n 02:00 AM    ,/a,90,\r\n 03:00 AM    ,/a,60,\r\n 04:00 AM    "
         ",/a,1440,\r\n");
    const std::pair<bool, int> expected[] = {{true, 2}, {false, 90}, {false, 60}, {true, 24}};
    for (int row = 0; row < 4; ++row) {
        choose(row);
        EXPECT_EQ(ui().hoursRadio->isChecked(), expected[row].first) << row;
        EXPECT_EQ(ui().repeatSpin->value(), expected[row].second) << row;
    }
}

TEST_F(SetupTest, WeeklyAndMonthlyRulesLoadAndTheMonthDayIsNeverZero)
{
    open(" 01:00 AM    ,/a,/71,\r\n 02:00 AM    ,/a,-15,\r\n 03:00 AM    ,/a,-0,\r\n");
    EXPECT_TRUE(ui().weeklyRadio->isChecked());
    EXPECT_TRUE(ui().saturdayCheck->isChecked());
    EXPECT_TRUE(ui().sundayCheck->isChecked());
    EXPECT_FALSE(ui().mondayCheck->isChecked());
    EXPECT_TRUE(ui().weekdaysGroup->isVisibleTo(dialog.get()) ||
                ui().pageTabs->currentWidget() != ui().repeatTab);
    EXPECT_FALSE(ui().repeatSpin->isVisibleTo(ui().repeatTab));
    choose(1);
    EXPECT_TRUE(ui().monthlyRadio->isChecked());
    EXPECT_EQ(ui().repeatSpin->value(), 15);
    EXPECT_TRUE(ui().repeatSpin->isVisibleTo(ui().repeatTab));
    EXPECT_TRUE(ui().monthDayLabel->isVisibleTo(ui().repeatTab));
    // "-0", which only a hand-edited file holds, loads as what the engine runs: once a day.
    choose(2);
    EXPECT_TRUE(ui().dailyRadio->isChecked());
    EXPECT_EQ(ui().repeatSpin->value(), 0);
    ui().programEdit->setText("/b");
    ui().updateButton->click();
    EXPECT_TRUE(cfgBytes().contains(" 03:00 AM    ,/b,0,\r\n"));
    // A monthly day is never 0.
    choose(1);
    ui().repeatSpin->setValue(0);
    EXPECT_EQ(ui().repeatSpin->value(), 1);

    // Switching to Monthly raises a zero to the 1st.
    choose(0);
    ui().dailyRadio->setChecked(true);
    ui().minutesRadio->setChecked(true);
    ui().repeatSpin->setValue(0);
    ui().monthlyRadio->setChecked(true);
    EXPECT_EQ(ui().repeatSpin->value(), 1);
}

TEST_F(SetupTest, TheEmailBoxTakesTheMailProgramsPlace)
{
    open(" 08:00 AM    ,/usr/bin/true,0,\r\n 09:00 AM    ,DARIZIZ.EXE,0,ann@example.org\r\n"
         " 10:00 AM    ,dariziz.exe,0,bob@example.org\r\n");
    ui().emailCheck->setChecked(true);
    EXPECT_EQ(ui().programEdit->text(), "DARIZIZ.EXE");
    EXPECT_FALSE(ui().programEdit->isEnabled());
    EXPECT_FALSE(ui().browseButton->isEnabled());
    ui().emailCheck->setChecked(false);
    EXPECT_EQ(ui().programEdit->text(), "");
    EXPECT_TRUE(ui().programEdit->isEnabled());

    choose(1);
    EXPECT_TRUE(ui().emailCheck->isChecked());
    EXPECT_FALSE(ui().programEdit->isEnabled());
    EXPECT_EQ(ui().parametersEdit->text(), "ann@example.org");
    choose(0);
    EXPECT_FALSE(ui().emailCheck->isChecked());
    EXPECT_EQ(ui().programEdit->text(), "/usr/bin/true");
    EXPECT_TRUE(ui().browseButton->isEnabled());
    choose(2);
    EXPECT_FALSE(ui().emailCheck->isChecked());
    EXPECT_EQ(ui().programEdit->text(), "dariziz.exe");
    EXPECT_TRUE(ui().programEdit->isEnabled());
}

TEST_F(SetupTest, BrowseFillsTheProgramAndCancelLeavesIt)
{
    open(twoEntries);
    fakes.files.answers = {std::nullopt, QString("/opt/apps/tool")};
    ui().browseButton->click();
    EXPECT_EQ(ui().programEdit->text(), "/usr/bin/true");
    ui().browseButton->click();
    EXPECT_EQ(ui().programEdit->text(), "/opt/apps/tool");
    EXPECT_EQ(fakes.files.asked, QStringList({"Select file", "Select file"}));
    ui().helpButton->click();
    EXPECT_EQ(helpOpened, 1);
}

TEST_F(SetupTest, NewModeOnlyAddsFromTheDefaults)
{
    open(twoEntries, true);
    EXPECT_FALSE(ui().scheduleList->isEnabled());
    EXPECT_EQ(ui().scheduleList->currentRow(), 0);
    EXPECT_TRUE(ui().addButton->isEnabled());
    EXPECT_FALSE(ui().deleteButton->isEnabled());
    EXPECT_EQ(dialog->windowTitle(), "Nudgeon Setup");
    EXPECT_EQ(ui().startTimeEdit->time(), QTime(16, 30));
    EXPECT_EQ(ui().repeatSpin->value(), 30);
    EXPECT_TRUE(ui().mondayCheck->isChecked());
    EXPECT_TRUE(ui().fridayCheck->isChecked());
    EXPECT_FALSE(ui().saturdayCheck->isChecked());
    EXPECT_EQ(ui().programEdit->text(), "");

    ui().programEdit->setText("/usr/bin/date");
    EXPECT_FALSE(ui().updateButton->isEnabled());
    ui().addButton->click();
    EXPECT_EQ(listed().size(), 3);
    EXPECT_FALSE(ui().addButton->isEnabled());
    // Any further change offers another Add.
    ui().parametersEdit->setText("-u");
    EXPECT_TRUE(ui().addButton->isEnabled());
    EXPECT_FALSE(ui().scheduleList->isEnabled());
}

TEST_F(SetupTest, SettingsBoxesReachTheStoreOnlyWithASave)
{
    open(twoEntries);
    const int writesBefore = fakes.store.writes;
    ui().chimeCheck->setChecked(true);
    EXPECT_TRUE(ui().updateButton->isEnabled());
    dialog.reset();
    EXPECT_EQ(fakes.store.writes, writesBefore);
    EXPECT_FALSE(fakes.settings.current().chime);

    dialog = std::make_unique<SetupDialog>(*form, services());
    dialog->fill();
    ui().chimeCheck->setChecked(true);
    ui().autoStartCheck->setChecked(true);
    ui().programEdit->setText("/usr/bin/id");
    ui().addButton->click();
    EXPECT_TRUE(fakes.settings.current().chime);
    EXPECT_EQ(storedSettings(), "1,A");
    EXPECT_EQ(fakes.autostart.enabled, true);
}

TEST_F(SetupTest, ANoteThatCannotBeWrittenStopsTheUpdateAndKeepsTheEntry)
{
    open(twoEntries);
    choose(1);
    // A folder where the note file should be.
    QDir(dir.path()).mkdir("1200900.txt");
    ui().noteEdit->setPlainText("text");
    ui().updateButton->click();
    EXPECT_EQ(fakes.errors.messages, QStringList({"Cannot create file " + dir.filePath("1200900.txt")}));
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", "06:00 PM    ,,30,[1200900.txt]"}));
    EXPECT_EQ(cfgBytes(), twoEntries);
}

TEST_F(SetupTest, TheDialogBlocksNoOtherWindowOpensOnceAndClosingTheProgramMeanwhileIsSafe)
{
    open(twoEntries);
    dialog.reset();
    const auto openDialogs = [] {
        QList<SetupDialog*> open;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<SetupDialog*>(w); d && d->isVisible())
                open.append(d);
        }
        return open;
    };
    // Back at once, the dialog still up, and no window of the program is blocked by it.
    SetupDialog::openOn(*form, services(), false);
    ASSERT_EQ(openDialogs().size(), 1);
    EXPECT_TRUE(SetupDialog::isOpen());
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
    SetupDialog::openOn(*form, services(), true);
    ASSERT_EQ(openDialogs().size(), 1);
    EXPECT_FALSE(openDialogs().first()->isNewEntriesOnly());

    // Closing it brings the engine's tip up to date, as a tick would.
    EXPECT_EQ(form->status(), "Nudgeon: 1hr 0min");
    fakes.clock.set(QDate(2026, 12, 6), QTime(7, 50));
    SetupDialog::closeOpen();
    EXPECT_FALSE(SetupDialog::isOpen());
    EXPECT_EQ(form->status(), "Nudgeon:  10min");

    SetupDialog::openOn(*form, services(), false);
    form->closeDown();
    SetupDialog::closeOpen();
    EXPECT_FALSE(SetupDialog::isOpen());
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(cfgBytes(), twoEntries);
}

TEST_F(SetupTest, ALineAddedByHandShowsWhatIsTypedStaysAndDeleteKeepsIt)
{
    open(twoEntries);
    choose(1);
    ui().parametersEdit->setText("typed, not added");
    const QByteArray hand = "10:00 AM    ,hand,0,\r\n";
    QFile f(cfgPath());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(hand);
    f.close();

    // What the watch does when the file has settled.
    ASSERT_TRUE(form->reloadIfChanged());
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", "06:00 PM    ,,30,[1200900.txt]",
                                     "10:00 AM    ,hand,0,"}));
    EXPECT_EQ(listed().value(ui().scheduleList->currentRow()), "06:00 PM    ,,30,[1200900.txt]");
    EXPECT_EQ(ui().parametersEdit->text(), "typed, not added");

    choose(0);
    ui().deleteButton->click();
    EXPECT_EQ(cfgBytes(), QByteArray("06:00 PM    ,,30,[1200900.txt]\r\n10:00 AM    ,hand,0,\r\n"));
}

TEST_F(SetupTest, AnEntryRemovedByHandMeanwhileIsNeitherUpdatedNorDeleted)
{
    for (const bool update : {true, false}) {
        open(twoEntries);
        fakes.errors.messages.clear();
        choose(0);
        ui().programEdit->setText("/usr/bin/false");
        // The watch has not caught up yet: the action itself finds the change.
        const QByteArray hand = "06:00 PM    ,,30,[1200900.txt]\r\n";
        writeCfg(hand);
        (update ? ui().updateButton : ui().deleteButton)->click();
        EXPECT_EQ(fakes.errors.messages.size(), 1) << update;
        EXPECT_EQ(cfgBytes(), hand) << update;
        EXPECT_EQ(listed(), QStringList({"06:00 PM    ,,30,[1200900.txt]"})) << update;
        EXPECT_EQ(ui().programEdit->text(), "/usr/bin/false") << update;
    }
}

TEST_F(SetupTest, TheCommandLinesAddAndRemoveReachAnOpenDialogAndTheFile)
{
    open(twoEntries);
    choose(0);
    RunningSchedule running(*form, fakes.clock, paths().pgmDir,
                            [](const QString&, int) { return std::optional<QString>(); });
    const auto ask = [&](const QStringList& arguments) {
        const auto request = CommandLine::parse(arguments);
        return CommandLine::answer(std::get<InstanceChannel::Request>(request), running);
    };

    const CommandLine::Reply added =
        ask({"--add", "10:30PM", "--note", "Take out the bins\nand the glass", "--days", "Mo,Th"});
    EXPECT_EQ(added.status, CommandLine::Done) << added.text.toStdString();
    const QString line = "10:30 PM    ,,/25,[1262230.txt]";
    EXPECT_EQ(listed(),
              QStringList({" 08:00 AM    ,/usr/bin/true,0,", "06:00 PM    ,,30,[1200900.txt]", line}));
    EXPECT_EQ(cfgBytes(), twoEntries + line.toUtf8() + "\r\n");
    EXPECT_EQ(note("1262230.txt"), "Take out the bins\nand the glass");
    EXPECT_EQ(ask({"--add", "22:30", "--run", "x", "--days", "Mo,Th"}).status, CommandLine::Done);

    const CommandLine::Reply removed = ask({"--remove", "3"});
    EXPECT_EQ(removed.status, CommandLine::Done) << removed.text.toStdString();
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", "06:00 PM    ,,30,[1200900.txt]",
                                     "10:30 PM    ,x,/25,"}));
    EXPECT_EQ(note("1262230.txt"), "<missing>");
    EXPECT_EQ(ask({"--remove", "4"}).status, CommandLine::Refused);
    EXPECT_TRUE(fakes.errors.messages.isEmpty());
}
