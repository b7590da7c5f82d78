// SPDX-License-Identifier: MIT
// Saving on a full disk and into a read-only folder: the old files stay whole and readable,
// the user is told, and the schedule lives on in memory. Needs a small file system of its own
// in NUDGEON_FAULT_DIR, as run.sh mounts one.

#include "actions/NoteWindow.h"
#include "platform/IniRegistryStore.h"
#include "schedule/NoteFiles.h"
#include "setup/SetupDialog.h"
#include "tests/support/EngineTest.h"
#include "ui_NoteWindow.h"
#include "ui_SetupDialog.h"

#include <QDir>
#include <QProcess>
#include <QTimer>

namespace {

const QByteArray schedule = " 09:30 AM    ,,0,[1260930.txt]\r\n";
const QString noteText = QStringLiteral("the note as it was");

class FaultTest : public EngineTest
{
protected:
    void SetUp() override
    {
        mount = qEnvironmentVariable("NUDGEON_FAULT_DIR");
        ASSERT_FALSE(mount.isEmpty()) << "run through run.sh, which mounts a small file system";
        pgm = mount + "/pgm/";
        QDir().mkpath(pgm);
        QDir().mkpath(mount + "/config");
        ASSERT_TRUE(writeFile(pgm + "Nudgeon.cfg", schedule));
        ASSERT_TRUE(writeNoteFile(pgm + "1260930.txt", noteText));
        store = std::make_unique<IniRegistryStore>(mount + "/config/registry.ini");
        settings = std::make_unique<Settings>(*store, fakes.autostart, fakes.errors, pgm + "nudgeon");
        ASSERT_TRUE(store->writeString(Settings::uninstallKey, "Settings", "0,0"));
        iniBefore = readFile(mount + "/config/registry.ini");

        fakes.clock.set(QDate(2026, 12, 6), QTime(8, 0));
        scheduleStore = std::make_unique<ScheduleStore>(pgm, *settings, fakes.errors);
        form = std::make_unique<Scheduler>(Platform{fakes.clock, fakes.sound, fakes.errors, *settings},
                                           *scheduleStore);
        form->start();
        ASSERT_EQ(lines().size(), 1);
    }
    void TearDown() override
    {
        form.reset();
        QProcess::execute("mount", {"-o", "remount,rw", mount});
        QFile::remove(mount + "/filler");
        QDir(mount + "/pgm").removeRecursively();
        QDir(mount + "/config").removeRecursively();
    }

    void fillTheDisk()
    {
        QFile filler(mount + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        // Whatever the file system still had left for small files is gone too.
        for (int i = 0; i < 64; ++i) {
            QFile crumb(mount + QStringLiteral("/crumb%1").arg(i));
            if (crumb.open(QIODevice::WriteOnly))
                crumb.write(block.left(512));
        }
    }
    void makeReadOnly() { ASSERT_EQ(QProcess::execute("mount", {"-o", "remount,ro", mount}), 0); }

    // What must hold after every failed save.
    void expectNothingLost()
    {
        EXPECT_EQ(readFile(pgm + "Nudgeon.cfg"), schedule);
        EXPECT_EQ(readNoteFile(pgm + "1260930.txt"), noteText);
        EXPECT_EQ(readFile(mount + "/config/registry.ini"), iniBefore);
        const QStringList leftovers = QDir(pgm).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(leftovers, QStringList({"1260930.txt", "Nudgeon.cfg"}));
    }

    void saveEverything()
    {
        // A change made in the setup dialog: a new entry with a note, and the chime turned on.
        SetupDialog::Services services{fakes.clock, fakes.errors, fakes.files, *settings, {}, pgm};
        SetupDialog dialog(*form, services);
        dialog.fill();
        Ui::SetupDialog& ui = *dialog.form();
        ui.startTimeEdit->setTime(QTime(10, 15));
        ui.noteEdit->clear();
        ui.programEdit->setText("/usr/bin/true");
        ui.addButton->click();
        EXPECT_EQ(fakes.errors.messages.value(0), "Cannot create file " + pgm + "Nudgeon.cfg");
        // The schedule in memory has the new entry although the disk would not take it.
        EXPECT_EQ(lines().size(), 2);

        ui.chimeCheck->setChecked(true);
        ui.programEdit->setText("/usr/bin/false");
        ui.addButton->click();
        EXPECT_TRUE(fakes.errors.messages.contains("Failed to set data for 'DisplayName'"))
            << fakes.errors.messages.join('|').toStdString();

        // A note that cannot be saved stops its Add.
        const int before = lines().size();
        ui.startTimeEdit->setTime(QTime(11, 0));
        ui.programEdit->clear();
        ui.noteEdit->setPlainText("a new note");
        ui.addButton->click();
        EXPECT_EQ(lines().size(), before);
        EXPECT_TRUE(fakes.errors.messages.last().startsWith("Cannot create file " + pgm))
            << fakes.errors.messages.last().toStdString();

        // The note window's Save of an existing note.
        NoteWindow memo(fakes.errors);
        memo.showNote("an edit that will not fit", pgm + "1260930.txt", " 09:30 AM", lines().first());
        memo.form()->editAction->trigger();
        memo.form()->saveAction->trigger();
        memo.form()->closeAction->trigger();
        EXPECT_EQ(fakes.errors.messages.last(), "Cannot create file " + pgm + "1260930.txt");
    }

    QString mount;
    QString pgm;
    std::unique_ptr<IniRegistryStore> store;
    std::unique_ptr<Settings> settings;
    QByteArray iniBefore;
};

} // namespace

TEST_F(FaultTest, AFullDiskLosesNothingAndSaysSo)
{
    fillTheDisk();
    saveEverything();
    expectNothingLost();
}

TEST_F(FaultTest, AReadOnlyProgramFolderLosesNothingAndSaysSo)
{
    makeReadOnly();
    saveEverything();
    expectNothingLost();
}
