// SPDX-License-Identifier: MIT
#include "fuzz/support/FuzzSupport.h"

#include "schedule/ScheduleFile.h"

#include <QCoreApplication>
#include <QDir>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

namespace {

QByteArray fuzzRoot;

void removeFuzzRoot()
{
    if (!fuzzRoot.isEmpty())
        QDir(QString::fromLocal8Bit(fuzzRoot)).removeRecursively();
}

QByteArray makeFolder(const QByteArray& path)
{
    ::mkdir(path.constData(), 0700);
    return path;
}

} // namespace

void initFuzzEnvironment()
{
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty())
        base = "/tmp";
    QByteArray root = base + "/nudgeon-fuzz-XXXXXX";
    if (!::mkdtemp(root.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    fuzzRoot = root;
    std::atexit(removeFuzzRoot);

    // Local time is UTC: every wall time the rules give is one instant.
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    ::setenv("HOME", makeFolder(root + "/home").constData(), 1);
    ::setenv("XDG_CONFIG_HOME", makeFolder(root + "/config").constData(), 1);
    ::setenv("XDG_DATA_HOME", makeFolder(root + "/data").constData(), 1);
    ::setenv("XDG_CACHE_HOME", makeFolder(root + "/cache").constData(), 1);
    ::setenv("XDG_STATE_HOME", makeFolder(root + "/state").constData(), 1);
    ::setenv("XDG_RUNTIME_DIR", makeFolder(root + "/runtime").constData(), 1);
    ::setenv("TMPDIR", makeFolder(root + "/tmp").constData(), 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    static int argc = 1;
    static char name[] = "nudgeon-fuzz";
    static char* argv[] = {name, nullptr};
    // Lives as long as the process, as the program's own application object does.
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

void fuzzFail(const char* file, int line, const char* condition, const QString& details)
{
    std::fprintf(stderr, "\n==== invariant broken at %s:%d\n     %s\n     %s\n", file, line, condition,
                 details.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

QString shown(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('\\'))
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QDate dayFrom(uint16_t days)
{
    return QDate(1970, 1, 1).addDays(days);
}

QTime timeFrom(uint8_t hour, uint8_t minute)
{
    return QTime(hour % 24, minute % 60);
}

QString textFrom(const QByteArray& bytes, uint8_t mode)
{
    switch (mode % 3) {
    case 0:
        return decodeText(bytes);
    case 1: {
        QString text;
        text.reserve(bytes.size() / 2);
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            text += QChar(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                                (static_cast<uint8_t>(bytes[i + 1]) << 8)));
        return text;
    }
    default:
        return QString::fromLatin1(bytes);
    }
}

// No inotify: the targets run no event loop, so a file system watcher reports nothing, and
// closing an inotify instance waits for the kernel to synchronise - costlier than the schedule
// load it watches. Qt then watches by polling, which only starts a timer.
extern "C" int inotify_init()
{
    errno = EMFILE;
    return -1;
}

extern "C" int inotify_init1(int)
{
    errno = EMFILE;
    return -1;
}

// libFuzzer calls this once before the first input, in every target.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    initFuzzEnvironment();
    return 0;
}
