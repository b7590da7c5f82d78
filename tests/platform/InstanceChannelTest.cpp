// SPDX-License-Identifier: MIT
#include "platform/InstanceChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// A client that sends what it is told, as another program on the machine could.
int connectTo(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool closedByServer(int fd)
{
    char byte;
    const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN);
}

// Runs the event loop until the running copy has closed fd, or ms have passed.
bool closedWithin(int fd, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!closedByServer(fd) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return closedByServer(fd);
}

// What a later start gets, asked from another thread while this one's event loop runs the channel.
template <typename Asking> auto askedElsewhere(Asking asking)
{
    auto answer = std::async(std::launch::async, asking);
    while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return answer.get();
}

struct Listening
{
    QTemporaryDir dir;
    QString path = InstanceChannel::besideLock(dir.filePath("nudgeon.lock"));
    InstanceChannel channel{path};
    QSignalSpy startedAgain{&channel, &InstanceChannel::startedAgain};
};
} // namespace

TEST(InstanceChannel, ASecondStartReachesTheRunningCopyOnlyWhileItListens)
{
    Listening running;
    const QString path = running.path;
    EXPECT_EQ(path, running.dir.filePath("nudgeon.socket"));
    EXPECT_FALSE(InstanceChannel::handOver(path));

    // A socket file left behind by a copy that was killed does not keep the next one deaf.
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    ASSERT_TRUE(running.channel.listen());
    struct stat info = {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(askedElsewhere([path] { return InstanceChannel::handOver(path); }));
    EXPECT_EQ(running.startedAgain.size(), 1);

    // Anything but the bare greeting is ignored; a request with a reply gets it.
    const int stranger = connectTo(path);
    ASSERT_GE(stranger, 0);
    ASSERT_EQ(::send(stranger, "started-again\tnow\n", 18, MSG_NOSIGNAL), 18);
    EXPECT_TRUE(closedWithin(stranger, 1000));
    ::close(stranger);
    running.channel.setAnswerer([](const InstanceChannel::Request& request) {
        return (request.name + QLatin1Char('|') + request.arguments.join(QLatin1Char('|'))).toUtf8();
    });
    EXPECT_EQ(askedElsewhere([path] {
                  return InstanceChannel::ask(path, {"echo", {"ä b", ""}});
              }),
              QByteArray("echo|ä b|"));
    EXPECT_EQ(running.startedAgain.size(), 1);
}

// Whatever other programs send or hold open, memory and the event loop stay free and a later
// start still gets through.
TEST(InstanceChannel, OversizedSilentAndTooManyConnectionsAreClosed)
{
    Listening running;
    ASSERT_TRUE(running.channel.listen());

    const int oversized = connectTo(running.path);
    const int silent = connectTo(running.path);
    ASSERT_GE(oversized, 0);
    ASSERT_GE(silent, 0);
    const QByteArray line(64 * 1024, 'x');
    ::send(oversized, line.constData(), size_t(line.size()), MSG_NOSIGNAL);
    EXPECT_TRUE(closedWithin(oversized, 500));
    EXPECT_FALSE(closedWithin(silent, 1000));
    EXPECT_TRUE(closedWithin(silent, 3000));
    ::close(oversized);
    ::close(silent);

    // A flood of silent connections: a few are taken or queued, the rest refused at once; a
    // later start gets through while they hold on, once their time is up.
    std::vector<int> flood;
    for (int i = 0; i < 200; ++i) {
        const int fd = connectTo(running.path);
        if (fd >= 0)
            flood.push_back(fd);
        QCoreApplication::processEvents();
    }
    EXPECT_LT(flood.size(), 40u);
    EXPECT_TRUE(askedElsewhere([&running] { return InstanceChannel::handOver(running.path); }));
    EXPECT_EQ(running.startedAgain.size(), 1);
    for (int fd : flood)
        ::close(fd);
}

TEST(InstanceChannel, AnotherUserIsNotHeard)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can act as another user";
    Listening running;
    ASSERT_TRUE(running.channel.listen());
    // Opened up so that the other user can reach the socket at all.
    ::chmod(QFile::encodeName(running.dir.path()).constData(), 0711);
    ::chmod(QFile::encodeName(running.path).constData(), 0666);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const int fd = connectTo(running.path);
        if (fd < 0)
            ::_exit(3);
        // The channel may hang up on a stranger before the request is sent.
        ::send(fd, "started-again\n", 14, MSG_NOSIGNAL);
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(running.startedAgain.wait(500));
}
