// SPDX-License-Identifier: MIT
#include "platform/DesktopLauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The most of a program's error output the history keeps: its last lines.
constexpr qint64 errorTailBytes = 2048;

QString tr(const char* text)
{
    return QCoreApplication::translate("DesktopLauncher", text);
}

// The file's first bytes say whether the system can run it: a #! line or an ELF header.
enum class Kind
{
    Program,
    Script,
    Other
};

struct Head
{
    Kind kind = Kind::Other;
    // A script's interpreter, as its #! line names it.
    QByteArray interpreter;
};

Head headOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = f.read(256);
    if (head.startsWith("#!")) {
        const QByteArray line = head.mid(2, head.indexOf('\n') - 2).simplified();
        const qsizetype blank = line.indexOf(' ');
        return {Kind::Script, blank < 0 ? line : line.left(blank)};
    }
    return {head.startsWith("\x7f"
                            "ELF")
                ? Kind::Program
                : Kind::Other,
            {}};
}

// An unnamed file to take a program's error output: it grows on disk, not in memory, and
// nothing is left behind. -1 when none can be made.
int makeErrorFile()
{
    QByteArray name = QFile::encodeName(QDir::tempPath() + QStringLiteral("/nudgeon-errors-XXXXXX"));
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(name.constData());
    return fd;
}

// The last lines of what the program wrote, from a whole line on where the file was cut.
QString errorTail(int fd)
{
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_size == 0)
        return {};
    const qint64 from = qMax<qint64>(0, st.st_size - errorTailBytes);
    QByteArray bytes(st.st_size - from, '\0');
    const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), from);
    bytes.truncate(qMax<ssize_t>(got, 0));
    if (from > 0) {
        const qsizetype lineStart = bytes.indexOf('\n');
        if (lineStart >= 0 && lineStart + 1 < bytes.size())
            bytes.remove(0, lineStart + 1);
    }
    return QString::fromUtf8(bytes).trimmed();
}

} // namespace

DesktopLauncher::~DesktopLauncher()
{
    // A QProcess destroyed while its program runs would kill the program: those still running
    // are let go, and delete themselves once the program ends while the event loop runs.
    for (const QPointer<QProcess>& process : std::as_const(running)) {
        if (!process)
            continue;
        QObject::disconnect(process, nullptr, nullptr, nullptr);
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    }
}

bool DesktopLauncher::isAddress(const QString& file)
{
    for (const char* scheme : {"mailto:", "http:", "https:"}) {
        if (file.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString DesktopLauncher::locate(const QString& file, const QString& folder)
{
    if (file.isEmpty())
        return {};
    if (QDir::isAbsolutePath(file))
        return QFileInfo(file).isFile() ? file : QString();
    const QString base = folder.isEmpty() ? QDir::currentPath() : folder;
    const QString inFolder = QDir(base).absoluteFilePath(file);
    if (QFileInfo(inFolder).isFile())
        return inFolder;
    if (!file.contains(QLatin1Char('/')))
        return QStandardPaths::findExecutable(file);
    return {};
}

Launcher::Result DesktopLauncher::launch(const QString& file, const QString& parameters,
                                         const QString& folder)
{
    return start(file, parameters, folder, {}).result;
}

Launcher::Attempt DesktopLauncher::start(const QString& file, const QString& parameters,
                                         const QString& folder, ExitHandler onExit)
{
    if (isAddress(file)) {
        if (QDesktopServices::openUrl(QUrl(file)))
            return {};
        return {Result::NotFound, tr("no program opens the address")};
    }

    if (file.isEmpty())
        return {Result::NotFound, tr("the entry names no program")};
    const QString path = locate(file, folder);
    if (path.isEmpty()) {
        const QString named =
            QDir::isAbsolutePath(file) || folder.isEmpty() ? file : QDir(folder).absoluteFilePath(file);
        if (QFileInfo(named).isDir())
            return {Result::NotFound, tr("\"%1\" is a folder").arg(named)};
        return {Result::NotFound, tr("\"%1\" is not there").arg(named)};
    }
    const QFileInfo info(path);
    const Head head = headOf(path);
    const Kind kind = head.kind;
    if (info.isExecutable()) {
        if (kind == Kind::Other)
            return {Result::NotAllowed,
                    tr("\"%1\" is no program: a script needs a first line starting with #!").arg(path)};
        // Said here in words: the failed start would only say that a file is missing.
        if (kind == Kind::Script && ::access(head.interpreter.constData(), X_OK) != 0)
            return {Result::NotAllowed, tr("\"%1\" cannot run: its interpreter %2: %3")
                                            .arg(path, QFile::decodeName(head.interpreter),
                                                 QString::fromLocal8Bit(std::strerror(errno)))};
        return startProgram(path, parameters, folder, std::move(onExit));
    }
    if (kind != Kind::Other)
        return {Result::NotAllowed, tr("\"%1\" may not be run: it lacks the execute permission").arg(path)};
    // A desktop entry would run the command written in it: it is no document to open.
    if (info.suffix().compare(QLatin1String("desktop"), Qt::CaseInsensitive) == 0)
        return {Result::NotAllowed, tr("\"%1\" is a desktop entry, which is not started").arg(path)};
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return {};
    return {Result::NotFound, tr("no program opens \"%1\"").arg(path)};
}

Launcher::Attempt DesktopLauncher::startProgram(const QString& path, const QString& parameters,
                                                const QString& folder, ExitHandler onExit)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(path);
    process->setArguments(QProcess::splitCommand(parameters));
    // A session of its own: the program outlives this one, and no signal meant for this
    // program's terminal or process group reaches it.
    process->setChildProcessModifier([] { ::setsid(); });
    process->setWorkingDirectory(QFileInfo(folder).isDir() ? folder : QDir::currentPath());
    process->setStandardInputFile(QProcess::nullDevice());
    // Output goes where the program's own goes; a pipe would end the program with SIGPIPE
    // once this program is gone.
    process->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    const int errorFile = makeErrorFile();
    process->setStandardErrorFile(errorFile >= 0 ? QStringLiteral("/proc/self/fd/%1").arg(errorFile)
                                                 : QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(-1)) {
        if (errorFile >= 0)
            ::close(errorFile);
        return {Result::NotAllowed, process->errorString()};
    }

    QProcess* const started = process.release();
    running.append(started);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(
        started, &QProcess::finished, started,
        [this, started, errorFile, clock, onExit = std::move(onExit)](int code, QProcess::ExitStatus status) {
            running.removeAll(started);
            Exit exit;
            if (status == QProcess::CrashExit)
                exit.signal = code;
            else
                exit.status = code;
            exit.seconds = clock.elapsed() / 1000.0;
            exit.errorOutput = errorTail(errorFile);
            ::close(errorFile);
            started->deleteLater();
            if (onExit)
                onExit(exit);
        });
    return {};
}
