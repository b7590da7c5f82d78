// SPDX-License-Identifier: MIT
#include "SetupDialog.h"
#include "EngineTest.h"
#include "NoteFiles.h"
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
        for (int i = 0; i < ui().EventBox->count(); ++i)
            lines.append(ui().EventBox->item(i)->text());
        return lines;
    }
    // Chooses an entry as the user does, by clicking it in the list: on a mouse press the list
    // moves its current row before it moves its selection.
    void choose(int row)
    {
        QListWidget* list = ui().EventBox;
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
    EXPECT_EQ(ui().EventBox->currentRow(), 0);
    EXPECT_EQ(dialog->windowTitle(),
              "Nudgeon Setup - " + QLocale::system().toString(QDate(2026, 12, 6), QLocale::LongFormat));
    EXPECT_EQ(ui().PgmName->text(), "/usr/bin/true");
    EXPECT_EQ(ui().TimePicker->time(), QTime(8, 0));
    EXPECT_FALSE(ui().UpdateBtn->isEnabled());
    EXPECT_FALSE(ui().AddBtn->isEnabled());
    EXPECT_TRUE(ui().DelBtn->isEnabled());
    EXPECT_EQ(ui().CancelBtn->text(), "&Close");
    EXPECT_EQ(ui().PageCtl->currentWidget(), ui().RunTab);

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
    EXPECT_EQ(ui().EventBox->currentItem()->text(), " 08:30 AM    ,/usr/bin/true,0,");
    EXPECT_EQ(ui().PgmName->text(), "/usr/bin/true");

    // The evening entry is done for today: the caption says so whatever its place in the list.
    tickAt(QTime(17, 30, 1));
    fakes.clock.setTime(QTime(7, 0));
    choose(1);
    EXPECT_EQ(ui().TimePicker->time(), QTime(17, 30));
    EXPECT_EQ(dialog->windowTitle(), "Nudgeon Setup");
    choose(0);
    EXPECT_EQ(dialog->windowTitle(),
              "Nudgeon Setup - " + QLocale::system().toString(QDate(2026, 12, 6), QLocale::LongFormat));
}

TEST_F(SetupTest, EveryCaptionIsShownWholeAndLabelsStillEndBeforeTheirFields)
{
    open(twoEntries);
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        }
    }
    EXPECT_LE(ui().Label2->geometry().right(), ui().PgmName->geometry().left());
    EXPECT_LE(ui().Label3->geometry().right(), ui().RunParms->geometry().left());
    EXPECT_LE(ui().DateLabel->geometry().right(), ui().RepeatMin->geometry().left());
    EXPECT_LE(ui().Chime->geometry().right(), ui().AutoStart->geometry().left());
}

// The list is narrow on purpose, but "10:01 AM" and "10:01 PM" must never look alike: each
// item's text room holds its whole time field, beside a scroll bar, in small and large fonts.
TEST_F(SetupTest, TheListShowsEveryTimeFieldWholeAtEveryFontSize)
{
    QByteArray lines = " 10:01 AM    ,,0,\r\n10:01 PM    ,,0,\r\n11:15 PM    ,,0,\r\n";
    for (int minute = 10; minute < 30; ++minute)
        lines += "08:" + QByteArray::number(minute) + " PM    ,,0,\r\n";
    const QFont desktopFont = QApplication::font();
    for (const int points : {8, 11, 16, 24}) {
        QFont font = desktopFont;
        font.setPointSize(points);
        QApplication::setFont(font);
        open(lines);
        dialog->show();
        QListWidget* list = ui().EventBox;
        ASSERT_TRUE(list->verticalScrollBar()->isVisible()) << points;
        const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        for (int row = 0; row < list->count(); ++row) {
            const QString text = list->item(row)->text();
            const QString timeField = text.left(text.indexOf('M') + 1);
            // What shows of the item: its rectangle inside the list's visible area.
            list->scrollToItem(list->item(row));
            const QRect shown = list->visualItemRect(list->item(row)) & list->viewport()->rect();
            const int room = shown.width() - 2 * margin;
            EXPECT_GE(room, list->fontMetrics().horizontalAdvance(timeField))
                << points << "pt " << text.toStdString();
        }
        // Widening moved the controls along: nothing overlaps the list or leaves the form.
        EXPECT_LT(ui().ScheduleGrp->geometry().right(), ui().AddBtn->geometry().left()) << points;
        for (QWidget* w : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            EXPECT_LE(w->geometry().right(), dialog->width()) << points << w->objectName().toStdString();
        dialog.reset();
        form.reset();
    }
    QApplication::setFont(desktopFont);
}

TEST_F(SetupTest, LoadsEachPartOfTheSelectedEntry)
{
    ASSERT_TRUE(writeNoteFile(dir.filePath("1200900.txt"), "Stand up\nand stretch"));
    open(twoEntries);
    choose(1);
    EXPECT_EQ(ui().TimePicker->time(), QTime(18, 0));
    EXPECT_EQ(ui().PgmName->text(), "");
    EXPECT_EQ(ui().RunParms->text(), "");
    EXPECT_EQ(dialog->noteFile(), "1200900.txt");
    EXPECT_EQ(ui().Memo->toPlainText(), "Stand up\nand stretch");
    EXPECT_TRUE(ui().Daily->isChecked());
    EXPECT_TRUE(ui().Minutes->isChecked());
    EXPECT_EQ(ui().RepeatMin->value(), 30);
    // A note without a program shows the Note page.
    EXPECT_EQ(ui().PageCtl->currentWidget(), ui().MemoTab);
    // Loading is no edit.
    EXPECT_FALSE(ui().UpdateBtn->isEnabled());
}

TEST_F(SetupTest, ComposesTheWorkedExamplesIntoTheScheduleFile)
{
    open(" 08:00 AM    ,/usr/bin/true,0,\r\n");
    ui().TimePicker->setTime(QTime(14, 15));
    ui().PgmName->setText("/opt/tools/backup");
    ui().RunParms->setText("/quiet");
    ui().Weekly->setChecked(true);
    for (QCheckBox* day : {ui().Tuesday, ui().Thursday})
        day->setChecked(false);
    EXPECT_TRUE(ui().AddBtn->isEnabled());
    ui().AddBtn->click();

    ui().TimePicker->setTime(QTime(9, 30));
    ui().PgmName->clear();
    ui().RunParms->clear();
    ui().Daily->setChecked(true);
    ui().Hours->setChecked(true);
    ui().RepeatMin->setValue(2);
    ui().Memo->setPlainText("Call Ann");
    ui().AddBtn->click();

    ui().TimePicker->setTime(QTime(23, 45));
    ui().PgmName->setText("/home/ann/bell.wav");
    ui().Monthly->setChecked(true);
    ui().RepeatMin->setValue(1);
    ui().Memo->clear();
    ui().AddBtn->click();

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
    ui().TimePicker->setTime(QTime(19, 15));
    ui().Memo->setPlainText("new words");
    EXPECT_EQ(ui().CancelBtn->text(), "&Cancel");
    ui().UpdateBtn->click();
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", "07:15 PM    ,,30,[1200900.txt]"}));
    EXPECT_EQ(note("1200900.txt"), "new words");
    EXPECT_FALSE(ui().UpdateBtn->isEnabled());
    EXPECT_EQ(ui().CancelBtn->text(), "&Close");

    ui().Memo->clear();
    ui().PgmName->setText("/usr/bin/false");
    ui().UpdateBtn->click();
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
    ui().TimePicker->setTime(QTime(9, 30));
    ui().AddBtn->click();
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
    ui().DelBtn->click();
    EXPECT_FALSE(QFile::exists(dir.filePath("1200900.txt")));
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,"}));
    EXPECT_EQ(lines().size(), 1);

    fakes.clock.setTime(QTime(10, 20));
    ui().DelBtn->click();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(cfgBytes(), QByteArray());
    EXPECT_TRUE(dialog->isNewEntriesOnly());
    EXPECT_FALSE(ui().EventBox->isEnabled());
    EXPECT_FALSE(ui().DelBtn->isEnabled());
    EXPECT_TRUE(ui().AddBtn->isEnabled());
    EXPECT_EQ(dialog->windowTitle(), "Nudgeon Setup");
    // The controls are ready for a new entry, not showing the deleted one.
    EXPECT_EQ(ui().PgmName->text(), "");
    EXPECT_EQ(ui().TimePicker->time(), QTime(10, 20));
    EXPECT_EQ(ui().RepeatMin->value(), 0);
    EXPECT_TRUE(ui().Daily->isChecked());
}

TEST_F(SetupTest, DuplicatesAndAThirtyFirstEntryAreNotAdded)
{
    open(twoEntries);
    ui().PgmName->setText("/USR/BIN/TRUE");
    ui().AddBtn->click();
    EXPECT_EQ(listed().size(), 2);
    EXPECT_EQ(ui().EventBox->currentRow(), 0);

    QByteArray full;
    for (int i = 0; i < 30; ++i)
        full += QStringLiteral(" %1:00 AM    ,/bin/p%2,0,\r\n")
                    .arg(1 + i % 11, 2, 10, QChar('0'))
                    .arg(i)
                    .toLatin1();
    dialog.reset();
    open(full);
    ASSERT_EQ(listed().size(), 30);
    ui().TimePicker->setTime(QTime(1, 0));
    ui().PgmName->setText("/bin/extra");
    ui().Memo->setPlainText("orphan note");
    ui().AddBtn->click();
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
        ui().Minutes->setChecked(true);
        ui().RepeatMin->setValue(c.minutes);
        ui().Hours->setChecked(true);
        EXPECT_EQ(ui().RepeatMin->value(), c.hours) << c.minutes;
        EXPECT_EQ(ui().RepeatMin->maximum(), 24);
    }
    ui().RepeatMin->setValue(2);
    ui().Minutes->setChecked(true);
    EXPECT_EQ(ui().RepeatMin->value(), 2);
    EXPECT_EQ(ui().RepeatMin->maximum(), 1440);
}

TEST_F(SetupTest, SwitchingMinutesAndHoursAloneIsAnEditOnlyWhenTheNumberChanges)
{
    open(" 08:00 AM    ,/usr/bin/true,20,\r\n 09:00 AM    ,/usr/bin/true,90,\r\n");
    ui().Hours->setChecked(true); // 20 stays 20
    EXPECT_FALSE(ui().UpdateBtn->isEnabled());
    choose(1);
    ui().Hours->setChecked(true); // 90 becomes 1
    EXPECT_TRUE(ui().UpdateBtn->isEnabled());
}

TEST_F(SetupTest, DailyFieldsLoadInTheUnitTheyWereMadeIn)
{
    open(" 01:00 AM    ,/a,120,\r\n 02:00 AM    ,/a,90,\r\n 03:00 AM    ,/a,60,\r\n 04:00 AM    "
         ",/a,1440,\r\n");
    const std::pair<bool, int> expected[] = {{true, 2}, {false, 90}, {false, 60}, {true, 24}};
    for (int row = 0; row < 4; ++row) {
        choose(row);
        EXPECT_EQ(ui().Hours->isChecked(), expected[row].first) << row;
        EXPECT_EQ(ui().RepeatMin->value(), expected[row].second) << row;
    }
}

TEST_F(SetupTest, WeeklyAndMonthlyRulesLoadAndTheMonthDayIsNeverZero)
{
    open(" 01:00 AM    ,/a,/71,\r\n 02:00 AM    ,/a,-15,\r\n 03:00 AM    ,/a,-0,\r\n");
    EXPECT_TRUE(ui().Weekly->isChecked());
    EXPECT_TRUE(ui().Saturday->isChecked());
    EXPECT_TRUE(ui().Sunday->isChecked());
    EXPECT_FALSE(ui().Monday->isChecked());
    EXPECT_TRUE(ui().WeeklyBox->isVisibleTo(dialog.get()) || ui().PageCtl->currentWidget() != ui().RepeatTab);
    EXPECT_FALSE(ui().RepeatMin->isVisibleTo(ui().RepeatTab));
    choose(1);
    EXPECT_TRUE(ui().Monthly->isChecked());
    EXPECT_EQ(ui().RepeatMin->value(), 15);
    EXPECT_TRUE(ui().RepeatMin->isVisibleTo(ui().RepeatTab));
    EXPECT_TRUE(ui().DateLabel->isVisibleTo(ui().RepeatTab));
    // "-0", which only a hand-edited file holds, loads as what the engine runs: once a day.
    choose(2);
    EXPECT_TRUE(ui().Daily->isChecked());
    EXPECT_EQ(ui().RepeatMin->value(), 0);
    ui().PgmName->setText("/b");
    ui().UpdateBtn->click();
    EXPECT_TRUE(cfgBytes().contains(" 03:00 AM    ,/b,0,\r\n"));
    // A monthly day is never 0.
    choose(1);
    ui().RepeatMin->setValue(0);
    EXPECT_EQ(ui().RepeatMin->value(), 1);

    // Switching to Monthly raises a zero to the 1st.
    choose(0);
    ui().Daily->setChecked(true);
    ui().Minutes->setChecked(true);
    ui().RepeatMin->setValue(0);
    ui().Monthly->setChecked(true);
    EXPECT_EQ(ui().RepeatMin->value(), 1);
}

TEST_F(SetupTest, TheEmailBoxTakesTheMailProgramsPlace)
{
    open(" 08:00 AM    ,/usr/bin/true,0,\r\n 09:00 AM    ,DARIZIZ.EXE,0,ann@example.org\r\n"
         " 10:00 AM    ,dariziz.exe,0,bob@example.org\r\n");
    ui().Email->setChecked(true);
    EXPECT_EQ(ui().PgmName->text(), "DARIZIZ.EXE");
    EXPECT_FALSE(ui().PgmName->isEnabled());
    EXPECT_FALSE(ui().BrowseBtn->isEnabled());
    ui().Email->setChecked(false);
    EXPECT_EQ(ui().PgmName->text(), "");
    EXPECT_TRUE(ui().PgmName->isEnabled());

    choose(1);
    EXPECT_TRUE(ui().Email->isChecked());
    EXPECT_FALSE(ui().PgmName->isEnabled());
    EXPECT_EQ(ui().RunParms->text(), "ann@example.org");
    choose(0);
    EXPECT_FALSE(ui().Email->isChecked());
    EXPECT_EQ(ui().PgmName->text(), "/usr/bin/true");
    EXPECT_TRUE(ui().BrowseBtn->isEnabled());
    choose(2);
    EXPECT_FALSE(ui().Email->isChecked());
    EXPECT_EQ(ui().PgmName->text(), "dariziz.exe");
    EXPECT_TRUE(ui().PgmName->isEnabled());
}

TEST_F(SetupTest, BrowseFillsTheProgramAndCancelLeavesIt)
{
    open(twoEntries);
    fakes.files.answers = {std::nullopt, QString("/opt/apps/tool")};
    ui().BrowseBtn->click();
    EXPECT_EQ(ui().PgmName->text(), "/usr/bin/true");
    ui().BrowseBtn->click();
    EXPECT_EQ(ui().PgmName->text(), "/opt/apps/tool");
    EXPECT_EQ(fakes.files.asked, QStringList({"Select file", "Select file"}));
    ui().HelpBtn->click();
    EXPECT_EQ(helpOpened, 1);
}

TEST_F(SetupTest, NewModeOnlyAddsFromTheDefaults)
{
    open(twoEntries, true);
    EXPECT_FALSE(ui().EventBox->isEnabled());
    EXPECT_EQ(ui().EventBox->currentRow(), 0);
    EXPECT_TRUE(ui().AddBtn->isEnabled());
    EXPECT_FALSE(ui().DelBtn->isEnabled());
    EXPECT_EQ(dialog->windowTitle(), "Nudgeon Setup");
    EXPECT_EQ(ui().TimePicker->time(), QTime(16, 30));
    EXPECT_EQ(ui().RepeatMin->value(), 30);
    EXPECT_TRUE(ui().Monday->isChecked());
    EXPECT_TRUE(ui().Friday->isChecked());
    EXPECT_FALSE(ui().Saturday->isChecked());
    EXPECT_EQ(ui().PgmName->text(), "");

    ui().PgmName->setText("/usr/bin/date");
    EXPECT_FALSE(ui().UpdateBtn->isEnabled());
    ui().AddBtn->click();
    EXPECT_EQ(listed().size(), 3);
    EXPECT_FALSE(ui().AddBtn->isEnabled());
    // Any further change offers another Add.
    ui().RunParms->setText("-u");
    EXPECT_TRUE(ui().AddBtn->isEnabled());
    EXPECT_FALSE(ui().EventBox->isEnabled());
}

TEST_F(SetupTest, SettingsBoxesReachTheStoreOnlyWithASave)
{
    open(twoEntries);
    const int writesBefore = fakes.store.writes;
    ui().Chime->setChecked(true);
    EXPECT_TRUE(ui().UpdateBtn->isEnabled());
    dialog.reset();
    EXPECT_EQ(fakes.store.writes, writesBefore);
    EXPECT_FALSE(fakes.settings.current().chime);

    dialog = std::make_unique<SetupDialog>(*form, services());
    dialog->fill();
    ui().Chime->setChecked(true);
    ui().AutoStart->setChecked(true);
    ui().PgmName->setText("/usr/bin/id");
    ui().AddBtn->click();
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
    ui().Memo->setPlainText("text");
    ui().UpdateBtn->click();
    EXPECT_EQ(fakes.errors.messages, QStringList({"Cannot create file " + dir.filePath("1200900.txt")}));
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", "06:00 PM    ,,30,[1200900.txt]"}));
    EXPECT_EQ(cfgBytes(), twoEntries);
}

TEST_F(SetupTest, TheModalDialogMarksTheEngineBusyAndClosingTheProgramMeanwhileIsSafe)
{
    open(twoEntries);
    dialog.reset();
    bool openWhileOpen = false;
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        auto* open = qobject_cast<SetupDialog*>(QApplication::activeModalWidget());
        sawDialog = open != nullptr;
        openWhileOpen = SetupDialog::isOpen();
        form->closeDown();
        if (open)
            open->reject();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
        ADD_FAILURE() << "the dialog did not close";
    });
    watchdog.start(5000);
    SetupDialog::openOn(*form, services(), false);
    EXPECT_TRUE(sawDialog);
    EXPECT_TRUE(openWhileOpen);
    EXPECT_FALSE(SetupDialog::isOpen());
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(cfgBytes(), twoEntries);
}

TEST_F(SetupTest, ALineAddedByHandShowsWhatIsTypedStaysAndDeleteKeepsIt)
{
    open(twoEntries);
    choose(1);
    ui().RunParms->setText("typed, not added");
    const QByteArray hand = "10:00 AM    ,hand,0,\r\n";
    QFile f(cfgPath());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(hand);
    f.close();

    // What the watch does when the file has settled.
    ASSERT_TRUE(form->reloadIfChanged());
    EXPECT_EQ(listed(), QStringList({" 08:00 AM    ,/usr/bin/true,0,", "06:00 PM    ,,30,[1200900.txt]",
                                     "10:00 AM    ,hand,0,"}));
    EXPECT_EQ(ui().EventBox->currentItem()->text(), "06:00 PM    ,,30,[1200900.txt]");
    EXPECT_EQ(ui().RunParms->text(), "typed, not added");

    choose(0);
    ui().DelBtn->click();
    EXPECT_EQ(cfgBytes(), QByteArray("06:00 PM    ,,30,[1200900.txt]\r\n10:00 AM    ,hand,0,\r\n"));
}

TEST_F(SetupTest, AnEntryRemovedByHandMeanwhileIsNeitherUpdatedNorDeleted)
{
    for (const bool update : {true, false}) {
        open(twoEntries);
        fakes.errors.messages.clear();
        choose(0);
        ui().PgmName->setText("/usr/bin/false");
        // The watch has not caught up yet: the action itself finds the change.
        const QByteArray hand = "06:00 PM    ,,30,[1200900.txt]\r\n";
        writeCfg(hand);
        (update ? ui().UpdateBtn : ui().DelBtn)->click();
        EXPECT_EQ(fakes.errors.messages.size(), 1) << update;
        EXPECT_EQ(cfgBytes(), hand) << update;
        EXPECT_EQ(listed(), QStringList({"06:00 PM    ,,30,[1200900.txt]"})) << update;
        EXPECT_EQ(ui().PgmName->text(), "/usr/bin/false") << update;
    }
}
