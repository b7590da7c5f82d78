// SPDX-License-Identifier: MIT
// CanberraSound against a PulseAudio server of the test's own (a null sink in a fresh XDG_RUNTIME_DIR),
// against a server that has stopped answering, and with no server at all.

#include "platform/CanberraSound.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <canberra.h>
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>
#include <utility>
#include <vector>

// Shows QStrings as text in failure messages.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString soundsDir = QStringLiteral(NUDGEON_SOUNDS_DIR);
const QString themeDir = QStringLiteral("/usr/share/sounds/freedesktop");

// Long enough for any wait a test makes on libcanberra.
constexpr int settleMs = 5000;

// Writes a WAV file of silence, 8 kHz mono 16 bit.
void writeSilence(const QString& path, int seconds)
{
    const quint32 rate = 8000;
    const quint32 dataBytes = rate * 2 * quint32(seconds);
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    wav.append(QByteArray(int(dataBytes), '\0'));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    ASSERT_EQ(file.write(wav), wav.size());
}

void writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    ASSERT_EQ(file.write(text), text.size());
}

void copyFile(const QString& from, const QString& to)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(to).path())) << qPrintable(to);
    ASSERT_TRUE(QFile::copy(from, to)) << qPrintable(from) << " -> " << qPrintable(to);
}

// A session of its own for each test: temporary XDG_RUNTIME_DIR and HOME (so libpulse's cookie and
// libcanberra's lookup cache in ~/.cache start empty), no server named by PULSE_SERVER or the X display, an
// empty current folder. Everything is put back afterwards.
class SoundSession : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(base.isValid());
        runtimeDir = base.filePath(QStringLiteral("run"));
        homeDir = base.filePath(QStringLiteral("home"));
        workDir = base.filePath(QStringLiteral("work"));
        for (const QString& dir : {runtimeDir, homeDir, workDir})
            ASSERT_TRUE(QDir().mkpath(dir)) << qPrintable(dir);
        ASSERT_TRUE(
            QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        for (const char* name : savedNames)
            saved.emplace_back(name,
                               qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
        qputenv("HOME", QFile::encodeName(homeDir));
        for (const char* name : {"PULSE_SERVER", "PULSE_CLIENTCONFIG", "DISPLAY", "XDG_DATA_DIRS",
                                 "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            qunsetenv(name);

        savedCurrent = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(workDir));
        workDir = QDir::currentPath(); // as CanberraSound sees it, symbolic links resolved
    }

    void TearDown() override
    {
        QDir::setCurrent(savedCurrent);
        for (const auto& [name, value] : saved) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }

    QTemporaryDir base;
    QString runtimeDir;
    QString homeDir;
    QString workDir;

private:
    static constexpr const char* savedNames[] = {"XDG_RUNTIME_DIR",    "HOME",           "PULSE_SERVER",
                                                 "PULSE_CLIENTCONFIG", "DISPLAY",        "XDG_DATA_DIRS",
                                                 "XDG_DATA_HOME",      "XDG_CACHE_HOME", "XDG_CONFIG_HOME"};
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved;
    QString savedCurrent;
};

// Adds a PulseAudio server with a null sink, listening on the session's XDG_RUNTIME_DIR/pulse/native.
class CanberraSoundWithServer : public SoundSession
{
protected:
    void SetUp() override
    {
        SoundSession::SetUp();
        if (HasFatalFailure())
            return;

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.insert(QStringLiteral("HOME"), homeDir);
        for (const char* name : {"PULSE_SERVER", "DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_CONFIG_HOME"})
            env.remove(QString::fromLatin1(name));
        server.setProcessEnvironment(env);
        server.setProcessChannelMode(QProcess::MergedChannels);
        // -n: none of the system's default modules; the sink is loaded before the socket opens, so a client
        // that finds the socket finds the sink too. Running as root only brings a warning.
        server.start(QStringLiteral("pulseaudio"),
                     {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                      QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--log-target=stderr"),
                      QStringLiteral("--load=module-null-sink sink_name=null"),
                      QStringLiteral("--load=module-native-protocol-unix")});
        ASSERT_TRUE(server.waitForStarted(10000))
            << "Cannot start the PulseAudio server (Debian package pulseaudio): "
            << qPrintable(server.errorString());

        // The socket's file comes a moment before the server listens on it: ready is when pactl gets an
        // answer.
        const QString socket = runtimeDir + QStringLiteral("/pulse/native");
        QByteArray pactlSaid;
        QElapsedTimer waited;
        waited.start();
        bool ready = false;
        while (!ready && server.state() == QProcess::Running && waited.elapsed() < 10000) {
            if (!QFileInfo::exists(socket)) {
                server.waitForReadyRead(20);
                continue;
            }
            QProcess pactl;
            pactl.setProcessChannelMode(QProcess::MergedChannels);
            pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
            ready = pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit &&
                    pactl.exitCode() == 0;
            pactlSaid = pactl.readAll();
            if (pactl.state() != QProcess::NotRunning) {
                pactl.kill();
                pactl.waitForFinished(1000);
            }
        }
        ASSERT_TRUE(ready) << "The PulseAudio server did not answer on " << qPrintable(socket) << " (state "
                           << server.state() << ", exit code " << server.exitCode() << "); it said:\n"
                           << server.readAll().constData()
                           << "\npactl (Debian package pulseaudio-utils) said:\n"
                           << pactlSaid.constData();
    }

    void TearDown() override
    {
        if (server.state() != QProcess::NotRunning) {
            ::kill(pid_t(server.processId()), SIGCONT); // in case a test left it stopped
            server.terminate();
            if (!server.waitForFinished(5000)) {
                server.kill();
                server.waitForFinished(5000);
            }
        }
        SoundSession::TearDown();
    }

    QProcess server;
};

class CanberraSoundWithoutServer : public SoundSession
{};

// Lets a stopped process go on after 10 s whatever happens, so that code which waits for it makes a test
// fail, not hang.
class ResumeLater
{
public:
    explicit ResumeLater(pid_t pid)
        : thread([this, pid] {
              std::unique_lock<std::mutex> lock(mutex);
              if (!wake.wait_for(lock, std::chrono::seconds(10), [this] { return done; }))
                  ::kill(pid, SIGCONT);
          })
    {}
    ~ResumeLater()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        wake.notify_one();
        thread.join();
    }

private:
    std::mutex mutex;
    std::condition_variable wake;
    bool done = false;
    std::thread thread;
};

std::optional<CanberraSound::Attempt> played(const QString& fileName, const QStringList& searchDirs = {})
{
    CanberraSound sound(searchDirs);
    sound.play(fileName);
    return sound.lastAttempt(settleMs);
}

void expectFilePlayed(const std::optional<CanberraSound::Attempt>& attempt, const QString& path)
{
    ASSERT_TRUE(attempt.has_value()) << "libcanberra did not finish within " << settleMs << " ms";
    EXPECT_EQ(attempt->fileName, path);
    EXPECT_EQ(attempt->eventId, QString());
    EXPECT_EQ(attempt->result, CA_SUCCESS);
}

void expectEventPlayed(const std::optional<CanberraSound::Attempt>& attempt, const char* eventId)
{
    ASSERT_TRUE(attempt.has_value()) << "libcanberra did not finish within " << settleMs << " ms";
    EXPECT_EQ(attempt->fileName, QString());
    EXPECT_EQ(attempt->eventId, QString::fromLatin1(eventId));
    EXPECT_EQ(attempt->result, CA_SUCCESS);
}

TEST_F(CanberraSoundWithServer, TheShippedSoundsPlayFromTheirFiles)
{
    for (const char* name : {"ringin.wav", "Nudgeon.wav"}) {
        SCOPED_TRACE(name);
        const QString path = soundsDir + QLatin1Char('/') + QLatin1String(name);
        ASSERT_TRUE(QFileInfo(path).isFile()) << qPrintable(path);
        expectFilePlayed(played(path), path);
        expectFilePlayed(played(QLatin1String(name), {soundsDir}), path);
    }
}

TEST_F(CanberraSoundWithServer, ABareNameIsLookedForInTheCurrentFolderThenInEachSearchDirInTurn)
{
    const QString first = base.filePath(QStringLiteral("first"));
    const QString second = base.filePath(QStringLiteral("second"));
    const QString ringin = soundsDir + QStringLiteral("/ringin.wav");

    copyFile(ringin, second + QStringLiteral("/tone.wav"));
    expectFilePlayed(played(QStringLiteral("tone.wav"), {first, second}),
                     second + QStringLiteral("/tone.wav"));

    copyFile(ringin, first + QStringLiteral("/tone.wav"));
    expectFilePlayed(played(QStringLiteral("tone.wav"), {first, second}),
                     first + QStringLiteral("/tone.wav"));

    copyFile(ringin, workDir + QStringLiteral("/tone.wav"));
    expectFilePlayed(played(QStringLiteral("tone.wav"), {first, second}),
                     workDir + QStringLiteral("/tone.wav"));
}

TEST_F(CanberraSoundWithServer, ANameWithAFolderIsUsedAsGivenNotLookedFor)
{
    const QString ringin = soundsDir + QStringLiteral("/ringin.wav");
    copyFile(ringin, workDir + QStringLiteral("/sub/tone.wav"));
    // Neither is looked at for "elsewhere/tone.wav".
    copyFile(ringin, base.filePath(QStringLiteral("search/tone.wav")));
    copyFile(ringin, base.filePath(QStringLiteral("search/elsewhere/tone.wav")));
    const QStringList searchDirs{base.filePath(QStringLiteral("search"))};

    expectFilePlayed(played(QStringLiteral("sub/tone.wav"), searchDirs),
                     workDir + QStringLiteral("/sub/tone.wav"));
    expectEventPlayed(played(QStringLiteral("elsewhere/tone.wav"), searchDirs), "bell");
}

TEST_F(CanberraSoundWithServer, AMissingFileGivesTheBellAsDoesBeep)
{
    expectEventPlayed(played(QStringLiteral("no-such-sound.wav"), {soundsDir}), "bell");
    expectEventPlayed(played(base.filePath(QStringLiteral("no-such-sound.wav"))), "bell");
    expectEventPlayed(played(QString()), "bell");

    CanberraSound sound({soundsDir});
    sound.beep();
    expectEventPlayed(sound.lastAttempt(settleMs), "bell");
}

TEST_F(CanberraSoundWithServer, AFileThatCannotBePlayedGivesTheBell)
{
    const QString broken = workDir + QStringLiteral("/broken.wav");
    writeText(broken, "RIFF and nothing more\n");
    expectEventPlayed(played(QStringLiteral("broken.wav")), "bell");
    expectEventPlayed(played(workDir), "bell"); // a folder is no sound file
}

TEST_F(CanberraSoundWithServer, WithoutABellInTheSoundThemeTheInformationSoundPlays)
{
    // A copy of the freedesktop theme with only dialog-information.
    const QString share = base.filePath(QStringLiteral("share"));
    copyFile(themeDir + QStringLiteral("/index.theme"),
             share + QStringLiteral("/sounds/freedesktop/index.theme"));
    copyFile(themeDir + QStringLiteral("/stereo/dialog-information.oga"),
             share + QStringLiteral("/sounds/freedesktop/stereo/dialog-information.oga"));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(share));

    CanberraSound sound({});
    sound.beep();
    expectEventPlayed(sound.lastAttempt(settleMs), "dialog-information");
}

TEST_F(CanberraSoundWithServer, WhenNoSoundCanBeFoundNothingPlaysAndNothingBreaks)
{
    qputenv("XDG_DATA_DIRS", QFile::encodeName(base.filePath(QStringLiteral("empty-share"))));

    CanberraSound sound({});
    sound.play(QStringLiteral("no-such-sound.wav"));
    const auto attempt = sound.lastAttempt(settleMs);
    ASSERT_TRUE(attempt.has_value());
    EXPECT_EQ(attempt->eventId, QStringLiteral("dialog-information")); // the last of the event sounds tried
    EXPECT_EQ(attempt->result, CA_ERROR_NOTFOUND);

    // The context still works for the next request.
    const QString ringin = soundsDir + QStringLiteral("/ringin.wav");
    sound.play(ringin);
    expectFilePlayed(sound.lastAttempt(settleMs), ringin);
}

TEST_F(CanberraSoundWithServer, PlayReturnsLongBeforeTheSoundEnds)
{
    const QString longSound = workDir + QStringLiteral("/long.wav");
    writeSilence(longSound, 20);

    CanberraSound sound({});
    QElapsedTimer timer;
    timer.start();
    sound.play(longSound);
    const qint64 playMs = timer.elapsed();
    const auto attempt = sound.lastAttempt(settleMs);
    const qint64 startedMs = timer.elapsed();

    expectFilePlayed(attempt, longSound);
    EXPECT_LT(playMs, 100);
    EXPECT_LT(startedMs, 3000) << "libcanberra should start the 20 s sound and return, not wait for its end";

    // The server plays it, for Nudgeon.
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    ASSERT_TRUE(pactl.waitForFinished(10000)) << "pactl (Debian package pulseaudio-utils) did not run";
    const QByteArray streams = pactl.readAllStandardOutput();
    EXPECT_TRUE(streams.contains("application.name = \"Nudgeon\"")) << streams.constData();
    EXPECT_TRUE(streams.contains("media.filename = \"" + QFile::encodeName(longSound) + '"'))
        << streams.constData();
}

// Whether this process has a library mapped whose file name starts with name.
bool mapped(const QByteArray& name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains('/' + name);
}

// How many sound players this process has running.
int playersRunning()
{
    int players = 0;
    for (const QString& task :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& child : children.readAll().split(' ')) {
            QFile command(QStringLiteral("/proc/%1/cmdline").arg(QString::fromLatin1(child.trimmed())));
            if (!child.trimmed().isEmpty() && command.open(QIODevice::ReadOnly) &&
                command.readAll().contains("nudgeon-sound"))
                ++players;
        }
    }
    return players;
}

TEST_F(CanberraSoundWithServer, EachSoundPlaysInAPlayerOfItsOwnThatEndsWithTheSound)
{
    const QString twoSeconds = workDir + QStringLiteral("/two.wav");
    writeSilence(twoSeconds, 2);
    CanberraSound sound({});
    QElapsedTimer timer;
    timer.start();
    sound.play(twoSeconds);
    expectFilePlayed(sound.lastAttempt(settleMs), twoSeconds);
    EXPECT_EQ(playersRunning(), 1);
    EXPECT_FALSE(mapped("libcanberra"));
    EXPECT_FALSE(mapped("libpulse"));
    while (playersRunning() > 0 && timer.elapsed() < 2 * settleMs)
        QThread::msleep(50);
    EXPECT_EQ(playersRunning(), 0);
    EXPECT_GT(timer.elapsed(), 1900) << "the player ended before its sound";
}

TEST_F(CanberraSoundWithServer, AServerThatDoesNotAnswerHoldsUpNeitherTheCallerNorTheDestructor)
{
    const pid_t serverPid = pid_t(server.processId());
    ASSERT_EQ(::kill(serverPid, SIGSTOP), 0);
    const ResumeLater watchdog(serverPid);

    QElapsedTimer timer;
    timer.start();
    {
        CanberraSound sound({soundsDir});
        sound.play(QStringLiteral("ringin.wav"));
        sound.beep();
        for (int i = 0; i < 20; ++i)
            sound.beep();
        EXPECT_LT(timer.elapsed(), 500);
        // libcanberra is stuck connecting to the stopped server, so no request finishes.
        const auto attempt = sound.lastAttempt(300);
        EXPECT_FALSE(attempt.has_value()) << "a request finished: " << qPrintable(attempt->fileName)
                                          << qPrintable(attempt->eventId) << ", result " << attempt->result;
        timer.restart();
    }
    EXPECT_LT(timer.elapsed(), 3000) << "the destructor waited too long for the stuck request";

    ASSERT_EQ(::kill(serverPid, SIGCONT), 0);
    // With the server back, a new object plays as usual.
    const QString ringin = soundsDir + QStringLiteral("/ringin.wav");
    expectFilePlayed(played(ringin), ringin);
}

TEST_F(CanberraSoundWithoutServer, TheEventSoundAskedForWhileItSoundsStartsNoSecondPlayer)
{
    // A player that notes each start and sounds for a second.
    const QString started = workDir + QStringLiteral("/started");
    const QString player = workDir + QStringLiteral("/player");
    writeText(player, "#!/bin/sh\necho \"$*\" >> '" + started.toUtf8() + "'\nsleep 1\necho event bell 0\n");
    ASSERT_TRUE(QFile::setPermissions(player, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString wav = soundsDir + QStringLiteral("/ringin.wav");
    CanberraSound sound({}, player);
    sound.beep();
    sound.beep();
    sound.play(wav);
    ASSERT_TRUE(sound.lastAttempt(settleMs).has_value());
    QFile log(started);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    // The two players write in either order.
    QList<QByteArray> starts = log.readAll().split('\n');
    std::sort(starts.begin(), starts.end());
    EXPECT_EQ(starts, (QList<QByteArray>{"", "", wav.toUtf8()}));
}

TEST_F(CanberraSoundWithoutServer, PlayReturnsQuicklyAndFallsBackThroughEveryEventSound)
{
    CanberraSound sound({soundsDir});
    QElapsedTimer timer;
    timer.start();
    sound.play(QStringLiteral("ringin.wav"));
    EXPECT_LT(timer.elapsed(), 1000);

    // libcanberra gives up at once too (or plays straight to ALSA hardware, where there is some).
    const auto attempt = sound.lastAttempt(settleMs);
    ASSERT_TRUE(attempt.has_value()) << "libcanberra did not give up within " << settleMs << " ms";
    EXPECT_LT(timer.elapsed(), 1000);
    if (attempt->result != CA_SUCCESS) {
        EXPECT_EQ(attempt->fileName, QString());
        EXPECT_EQ(attempt->eventId, QStringLiteral("dialog-information"));
    }

    timer.restart();
    sound.beep();
    EXPECT_TRUE(sound.lastAttempt(settleMs).has_value());
    EXPECT_LT(timer.elapsed(), 1000);
}

// libpulse never autospawns a daemon for root, so as root the request is made as the user nobody, in a child
// process. The client configuration allows autospawn, as upstream's default does.
TEST_F(CanberraSoundWithoutServer, StartsNoSoundServerWhereLibpulseWouldAutospawnOne)
{
    const QString clientConfig = base.filePath(QStringLiteral("client.conf"));
    writeText(clientConfig, "autospawn = yes\n");
    const QByteArray clientConfigPath = QFile::encodeName(clientConfig);

    const bool root = ::geteuid() == 0;
    uid_t uid = ::getuid();
    gid_t gid = ::getgid();
    if (root) {
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr) << "needs the user nobody to drop root";
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
        for (const QString& path : {base.path(), runtimeDir, homeDir, workDir, clientConfig})
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), uid, gid), 0) << qPrintable(path);
    }

    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            ::_exit(3);
        ::setenv("PULSE_CLIENTCONFIG", clientConfigPath.constData(), 1);
        ::unsetenv("PULSE_BINARY"); // CanberraSound must see to it itself
        int code = 0;
        {
            CanberraSound sound({});
            sound.beep();
            code = sound.lastAttempt(settleMs) ? 0 : 4;
        }
        ::_exit(code);
    }

    int status = 0;
    pid_t ended = 0;
    QElapsedTimer waited;
    waited.start();
    while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 && waited.elapsed() < 20000)
        QThread::msleep(20);
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the request did not end within 20 s";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;

    const QString socket = runtimeDir + QStringLiteral("/pulse/native");
    EXPECT_FALSE(QFileInfo::exists(socket));
    QFile daemonPid(runtimeDir + QStringLiteral("/pulse/pid"));
    if (daemonPid.open(QIODevice::ReadOnly)) {
        const pid_t daemon = pid_t(daemonPid.readAll().trimmed().toInt());
        daemonPid.close();
        ADD_FAILURE() << "libpulse started a PulseAudio daemon, pid " << daemon;
        // End it by its pid, and let it remove its files before the folders go.
        if (daemon > 0 && ::kill(daemon, SIGTERM) == 0) {
            waited.restart();
            while ((daemonPid.exists() || QFileInfo::exists(socket)) && waited.elapsed() < 5000)
                QThread::msleep(20);
        }
    }
}

} // namespace
