// SPDX-License-Identifier: MIT
#include "platform/IniRegistryStore.h"
#include "schedule/NoteFiles.h"
#include "tests/support/EngineTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct HostileCase
{
    const char* file;
    int entries; // -1: any number the rules allow
};

class HostileFiles : public EngineTest, public ::testing::WithParamInterface<HostileCase>
{
protected:
    QByteArray hostile() const
    {
        QFile f(QStringLiteral(NUDGEON_TEST_DATA "/hostile/") + QString::fromLatin1(GetParam().file));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << GetParam().file;
        return f.readAll();
    }

    // What must hold after any load, at any time of day.
    void expectSoundState()
    {
        EXPECT_LE(lines().size(), MaxEvents);
        EXPECT_EQ(lines().size(), lines().size());
        for (const QString& line : lines())
            EXPECT_LE(line.size(), MaxLineLength);
        for (const QTime& t : {QTime(0, 0), QTime(9, 30), QTime(23, 59)}) {
            fakes.clock.setTime(t);
            form->tick();
            EXPECT_LT(form->status().size(), 64);
        }
    }
};

} // namespace

TEST_P(HostileFiles, LoadWhatTheRulesAllowAndLeaveTheFileAlone)
{
    const QByteArray bytes = hostile();
    haveSettings("0,0");
    writeCfg(bytes);
    start();
    if (GetParam().entries >= 0) {
        EXPECT_EQ(lines().size(), GetParam().entries);
    }
    expectSoundState();
    EXPECT_EQ(cfgBytes(), bytes);
    EXPECT_TRUE(fakes.errors.messages.isEmpty());
}

TEST_P(HostileFiles, WithoutSettingsOnlyAHeaderIsEverDropped)
{
    const QByteArray bytes = hostile();
    writeCfg(bytes);
    start();
    expectSoundState();
    if (fakes.settings.current().chime || cfgBytes() != bytes) {
        // Rewritten: then the file had the old header form, and only the header went.
        const QList<QByteArray> lines = bytes.split('\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_FALSE(lines[1].contains(','));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, HostileFiles,
    ::testing::Values(HostileCase{"binary-garbage.cfg", -1}, HostileCase{"thousand-lines.cfg", 30},
                      HostileCase{"no-commas.cfg", 1}, HostileCase{"bad-times.cfg", 1},
                      HostileCase{"lf-only.cfg", 2}, HostileCase{"cr-only.cfg", 2},
                      HostileCase{"nul-byte.cfg", 2}, HostileCase{"utf8-and-latin1.cfg", 2},
                      HostileCase{"header-missing-lines.cfg", 0}, HostileCase{"header-only.cfg", 0},
                      HostileCase{"odd-repeat-fields.cfg", 5}, HostileCase{"long-fields.cfg", 1},
                      HostileCase{"traversal-note.cfg", 2}),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.file).section('.', 0, 0);
        return name.replace('-', '_').toStdString();
    });

TEST_F(EngineTest, HostileFilesReadAsTheirTextSays)
{
    haveSettings("0,0");
    QFile latin(QStringLiteral(NUDGEON_TEST_DATA "/hostile/utf8-and-latin1.cfg"));
    ASSERT_TRUE(latin.open(QIODevice::ReadOnly));
    writeCfg(latin.readAll());
    start();
    ASSERT_EQ(lines().size(), 2);
    EXPECT_EQ(lines()[0], QString::fromUtf8(" 09:30 AM    ,,0,café ☕"));
    EXPECT_EQ(lines()[1], QString::fromUtf8("10:00 PM    ,,0,café"));
}

TEST_F(EngineTest, ATenMegabyteLineIsCutAndTheRestStillLoads)
{
    haveSettings("0,0");
    QByteArray bytes = " 09:30 AM    ,,0," + QByteArray(10 * 1024 * 1024, 'x') + "\r\n10:00 PM    ,,0,\r\n";
    writeCfg(bytes);
    start();
    ASSERT_EQ(lines().size(), 2);
    EXPECT_EQ(lines()[0].size(), MaxLineLength);
    fakes.clock.setTime(QTime(21, 0));
    form->refreshStatus();
    EXPECT_EQ(form->nextLine(), lines()[1]);
    EXPECT_EQ(cfgBytes().size(), bytes.size());
}

namespace {

// Something other than a plain file in the place of one of the user's files.
enum class Node
{
    Fifo,
    Device,
    Socket,
    Folder,
    DanglingLink,
    LinkToDevice,
    LongLine,
    Oversized
};

struct NodeCase
{
    const char* name;
    Node node;
};

class NodeInPlace : public EngineTest, public ::testing::WithParamInterface<NodeCase>
{
protected:
    // Makes the node at path; false when only root can make it.
    bool make(const QString& path)
    {
        const QByteArray p = QFile::encodeName(path);
        const QByteArray device = QFile::encodeName(dir.filePath("private-zero"));
        switch (GetParam().node) {
        case Node::Fifo:
            return ::mkfifo(p.constData(), 0600) == 0;
        case Node::Device:
            return ::mknod(p.constData(), S_IFCHR | 0600, makedev(1, 5)) == 0;
        case Node::LinkToDevice:
            if (::access(device.constData(), F_OK) != 0 &&
                ::mknod(device.constData(), S_IFCHR | 0600, makedev(1, 5)) != 0)
                return false;
            return ::symlink(device.constData(), p.constData()) == 0;
        case Node::Socket: {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, p.constData(), sizeof address.sun_path - 1);
            const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            ::close(fd);
            return bound;
        }
        case Node::Folder:
            return ::mkdir(p.constData(), 0700) == 0;
        case Node::DanglingLink:
            return ::symlink((p + ".target").constData(), p.constData()) == 0;
        case Node::LongLine:
        case Node::Oversized: {
            QFile f(path);
            const qint64 size = GetParam().node == Node::LongLine ? 3 << 20 : 17 << 20;
            const QByteArray line = " 09:30 AM    ,,0," + QByteArray(size, 'x');
            return f.open(QIODevice::WriteOnly) && f.write(line) == line.size();
        }
        }
        return false;
    }
    bool isPlainFile() const
    {
        return GetParam().node == Node::LongLine || GetParam().node == Node::Oversized;
    }
    // What lstat says of the node: its type and, for a file, its size.
    static std::pair<mode_t, off_t> nodeOf(const QString& path)
    {
        struct stat st
        {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        return {st.st_mode & S_IFMT, S_ISREG(st.st_mode) ? st.st_size : 0};
    }
};

} // namespace

TEST_P(NodeInPlace, NothingWaitsTheUserIsToldAndTheNodeStays)
{
    const Node node = GetParam().node;
    const bool writable = isPlainFile() || node == Node::DanglingLink;
    // The schedule: the engine starts, is told, and runs; the node is not written over.
    haveSettings("0,0");
    if (!make(cfgPath())) {
        GTEST_SKIP() << "a device node needs root";
    }
    const auto cfgNode = nodeOf(cfgPath());
    start();
    QCoreApplication::processEvents();
    if (node == Node::LongLine || node == Node::DanglingLink) {
        EXPECT_TRUE(fakes.errors.messages.isEmpty()) << fakes.errors.messages.join('|').toStdString();
    } else {
        ASSERT_EQ(fakes.errors.messages.size(), 1);
        EXPECT_TRUE(fakes.errors.messages[0].contains(cfgPath())) << fakes.errors.messages[0].toStdString();
    }
    if (isPlainFile()) {
        EXPECT_EQ(lines().size(), 1);
    }
    const int toldBefore = fakes.errors.messages.size();
    EXPECT_EQ(form->applyEdits({" 10:00 AM    ,,0,"}), writable);
    EXPECT_EQ(fakes.errors.messages.size(), toldBefore + (writable ? 0 : 1));
    EXPECT_EQ(nodeOf(cfgPath()).first, cfgNode.first);

    // The note, as the note window and the mail program read it.
    const QString notePath = dir.filePath("1260930.txt");
    ASSERT_TRUE(make(notePath));
    const auto noteNode = nodeOf(notePath);
    const NoteText note = readNote(notePath);
    EXPECT_EQ(note.read, isPlainFile());
    EXPECT_EQ(note.cut, isPlainFile());
    EXPECT_LE(note.text.size(), MaxNoteBytes);
    QString problem;
    EXPECT_FALSE(readNoteFile(notePath, &problem).has_value());
    EXPECT_TRUE(problem.contains(notePath)) << problem.toStdString();
    EXPECT_EQ(writeNoteFile(notePath, "over it", &problem), writable);
    EXPECT_EQ(problem.contains(notePath), !writable) << problem.toStdString();
    EXPECT_EQ(nodeOf(notePath).first, noteNode.first);

    // The settings store: refused, or set aside when it is a file too large to be one.
    const QString iniPath = dir.filePath("registry.ini");
    ASSERT_TRUE(make(iniPath));
    const auto iniNode = nodeOf(iniPath);
    QStringList told;
    {
        IniRegistryStore store(iniPath);
        store.tellProblems([&told](const QString& message) { told.append(message); });
        EXPECT_EQ(store.readString("Software/Nudgeon", "Settings"), std::nullopt);
        const bool written = store.writeString("Software/Nudgeon", "Settings", "1,0");
        EXPECT_EQ(written, writable);
    }
    EXPECT_EQ(told.size(), node == Node::DanglingLink ? 0 : 1) << told.join('|').toStdString();
    if (isPlainFile()) {
        EXPECT_EQ(QDir(dir.path()).entryList({"registry.ini.damaged-*"}, QDir::System | QDir::Files).size(),
                  1);
    } else {
        EXPECT_EQ(nodeOf(iniPath), iniNode);
    }
}

INSTANTIATE_TEST_SUITE_P(Nodes, NodeInPlace,
                         ::testing::Values(NodeCase{"fifo", Node::Fifo}, NodeCase{"device", Node::Device},
                                           NodeCase{"socket", Node::Socket}, NodeCase{"folder", Node::Folder},
                                           NodeCase{"dangling_link", Node::DanglingLink},
                                           NodeCase{"link_to_device", Node::LinkToDevice},
                                           NodeCase{"long_line", Node::LongLine},
                                           NodeCase{"oversized", Node::Oversized}),
                         [](const auto& info) { return std::string(info.param.name); });
