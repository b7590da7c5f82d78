// SPDX-License-Identifier: MIT
#include "schedule/ScheduleFile.h"
#include "schedule/NoteFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString writeBytes(const QTemporaryDir& dir, const QByteArray& bytes, const QString& name = "Nudgeon.cfg")
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(ScheduleFile, ReadsEveryKindOfLineEnd)
{
    QTemporaryDir dir;
    for (const QByteArray& bytes :
         {QByteArray("a,b,0,\r\nc,d,0,\r\n"), QByteArray("a,b,0,\nc,d,0,"), QByteArray("a,b,0,\rc,d,0,\r")}) {
        EXPECT_EQ(readScheduleLines(writeBytes(dir, bytes), 30), QStringList({"a,b,0,", "c,d,0,"}))
            << bytes.toStdString();
    }
}

TEST(ScheduleFile, StopsAtTheFirstEmptyLine)
{
    QTemporaryDir dir;
    const QString path = writeBytes(dir, "one\r\ntwo\r\n\r\nthree\r\n");
    EXPECT_EQ(readScheduleLines(path, 30), QStringList({"one", "two"}));
}

TEST(ScheduleFile, CutsLongLinesAndSkipsTheirRest)
{
    QTemporaryDir dir;
    const QByteArray longLine(300, 'x');
    const QString path = writeBytes(dir, longLine + "\r\nnext\r\n");
    const QStringList lines = readScheduleLines(path, 30);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QString(255, 'x'));
    EXPECT_EQ(lines[1], "next");
}

TEST(ScheduleFile, AHugeLineIsReadInBoundedMemory)
{
    QTemporaryDir dir;
    QByteArray bytes(10 * 1024 * 1024, 'y');
    bytes += "\nsecond";
    const QStringList lines = readScheduleLines(writeBytes(dir, bytes), 30);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), 255);
    EXPECT_EQ(lines[1], "second");
}

TEST(ScheduleFile, ReadsUtf8AndLatin1Text)
{
    QTemporaryDir dir;
    const QString path = writeBytes(dir, "caf\xc3\xa9\r\nna\xefve\r\n");
    EXPECT_EQ(readScheduleLines(path, 30),
              QStringList({QString::fromUtf8("café"), QString::fromUtf8("naïve")}));
}

TEST(ScheduleFile, ACutLineKeepsItsWholeCharacters)
{
    QTemporaryDir dir;
    QByteArray line;
    for (int i = 0; i < 400; ++i)
        line += "\xc3\xa9"; // é
    const QStringList lines = readScheduleLines(writeBytes(dir, line + "\r\n"), 30);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], QString(255, QChar(0xe9)));

    // A character of two UTF-16 units across the cut is left out whole.
    const QStringList faces =
        readScheduleLines(writeBytes(dir, QByteArray(254, 'a') + "\xF0\x9F\x98\x80z\n"), 30);
    ASSERT_EQ(faces.size(), 1);
    EXPECT_EQ(faces[0], QString(254, 'a'));
}

TEST(ScheduleFile, UnreadableFilesHaveNoLines)
{
    QTemporaryDir dir;
    EXPECT_TRUE(readScheduleLines(dir.filePath("missing.cfg"), 30).isEmpty());
    QDir(dir.path()).mkdir("folder.cfg");
    EXPECT_TRUE(readScheduleLines(dir.filePath("folder.cfg"), 30).isEmpty());
}

TEST(ScheduleFile, WritesCrLfLinesWithoutEmptyOnes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Nudgeon.cfg");
    ASSERT_TRUE(
        writeScheduleLines(path, {" 09:30 AM    ,,0,", "", QString::fromUtf8("01:05 PM    ,x,0,café")}));
    EXPECT_EQ(readBytes(path), QByteArray(" 09:30 AM    ,,0,\r\n01:05 PM    ,x,0,caf\xc3\xa9\r\n"));
    ASSERT_TRUE(writeScheduleLines(path, {}));
    EXPECT_EQ(readBytes(path), QByteArray());
    EXPECT_TRUE(readScheduleLines(path, 30).isEmpty());
}

TEST(ScheduleFile, AFailedWriteLeavesTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString path = writeBytes(dir, "old,line,0,\r\n");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(writeScheduleLines(path, {"new,line,0,"}));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readBytes(path), QByteArray("old,line,0,\r\n"));
}

TEST(NoteFiles, NamesFromDateAndStartTime)
{
    QTemporaryDir dir;
    const QString pgm = dir.path() + "/";
    EXPECT_EQ(newNoteFileName(pgm, QDate(2026, 12, 6), QTime(9, 30)), QString("1260930.txt"));
    EXPECT_EQ(newNoteFileName(pgm, QDate(2026, 1, 5), QTime(9, 30)), QString("150930.txt"));
    EXPECT_EQ(newNoteFileName(pgm, QDate(2026, 3, 2), QTime(14, 15)), QString("321415.txt"));

    // A taken name moves the date number on until the name is free.
    writeBytes(dir, "x", "1260930.txt");
    EXPECT_EQ(newNoteFileName(pgm, QDate(2026, 12, 6), QTime(9, 30)), QString("1270930.txt"));

    // 23 November: 1123 to 1129 all give "112", the next free name comes with 1130.
    writeBytes(dir, "x", "1120930.txt");
    EXPECT_EQ(newNoteFileName(pgm, QDate(2026, 11, 23), QTime(9, 30)), QString("1130930.txt"));
}

TEST(NoteFiles, TextRoundTripsWithCrLfOnDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("1260930.txt");
    const QString text = QString::fromUtf8("Call the dentist\nbring the card – €20\n\nend");
    ASSERT_TRUE(writeNoteFile(path, text));
    EXPECT_EQ(readBytes(path), text.toUtf8().replace("\n", "\r\n"));
    EXPECT_EQ(readNoteFile(path), text);

    // A note saved by another program in Latin-1 with bare CRs reads whole.
    writeBytes(dir, "caf\xe9\rsecond", "old.txt");
    EXPECT_EQ(readNoteFile(dir.filePath("old.txt")), QString::fromUtf8("café\nsecond"));

    // Bytes of no text at all still read, NULs and all, and save back as they read.
    const QByteArray binary("\x00\x01\xff\xfe\r\n\x80z", 8);
    writeBytes(dir, binary, "binary.txt");
    const std::optional<QString> odd = readNoteFile(dir.filePath("binary.txt"));
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->size(), 7);
    ASSERT_TRUE(writeNoteFile(dir.filePath("binary.txt"), *odd));
    EXPECT_EQ(readNoteFile(dir.filePath("binary.txt")), odd);
}

TEST(NoteFiles, MissingAndUnwritableNotes)
{
    QTemporaryDir dir;
    EXPECT_FALSE(readNoteFile(dir.filePath("none.txt")).has_value());
    EXPECT_FALSE(writeNoteFile(dir.filePath("no/such/folder.txt"), "x"));
    EXPECT_EQ(cannotCreateMessage("/p/1.txt"), "Cannot create file /p/1.txt");
    EXPECT_EQ(cannotOpenMessage("/p/1.txt"), "Cannot open file /p/1.txt");
    deleteNoteFile(dir.filePath("none.txt")); // no error for a file that is not there
    writeBytes(dir, "x", "gone.txt");
    deleteNoteFile(dir.filePath("gone.txt"));
    EXPECT_FALSE(QFile::exists(dir.filePath("gone.txt")));
}
