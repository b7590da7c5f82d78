// SPDX-License-Identifier: MIT
#include "platform/CanberraSound.h"

#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>

#include <algorithm>

Q_LOGGING_CATEGORY(lcSound, "nudgeon.sound", QtWarningMsg)

namespace {

// Players beyond this many running are not started, so that a sound server that does not answer cannot
// pile them up.
constexpr std::size_t maxPlaying = 4;

// How long the destructor waits for a player it ended.
constexpr int stopWaitMs = 1000;

// The player's report, "file RESULT" or "event ID RESULT", once it has written it or has ended without it.
std::optional<CanberraSound::Attempt> reportOf(QProcess& player, const QString& path)
{
    if (player.canReadLine()) {
        const QList<QByteArray> words = player.readLine().trimmed().split(' ');
        bool isNumber = false;
        const int result = words.last().toInt(&isNumber);
        if (isNumber && words.size() == 2 && words.first() == "file")
            return CanberraSound::Attempt{path, QString(), result};
        if (isNumber && words.size() == 3 && words.first() == "event")
            return CanberraSound::Attempt{QString(), QString::fromLatin1(words.at(1)), result};
        return CanberraSound::Attempt{QString(), QString(), -1};
    }
    if (player.state() == QProcess::NotRunning)
        return CanberraSound::Attempt{QString(), QString(), -1};
    return std::nullopt;
}

} // namespace

struct CanberraSound::Request
{
    std::unique_ptr<QProcess> player;
    QString path;
    std::optional<Attempt> attempt;
};

CanberraSound::CanberraSound(const QStringList& searchDirs, const QString& player)
    : searchDirs(searchDirs), player(player)
{}

CanberraSound::~CanberraSound()
{
    for (Request& request : requests) {
        request.player->disconnect();
        if (request.player->state() != QProcess::NotRunning) {
            request.player->kill();
            request.player->waitForFinished(stopWaitMs);
        }
    }
}

QString CanberraSound::defaultPlayer()
{
    return helperProgram(QCoreApplication::applicationFilePath(), QStringLiteral("nudgeon-sound"));
}

void CanberraSound::play(const QString& fileName)
{
    request(findFile(fileName));
}

void CanberraSound::beep()
{
    request(QString());
}

std::optional<CanberraSound::Attempt> CanberraSound::lastAttempt(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    for (Request& request : requests) {
        while (!request.attempt) {
            request.attempt = reportOf(*request.player, request.path);
            if (request.attempt)
                break;
            if (deadline.hasExpired())
                return std::nullopt;
            request.player->waitForReadyRead(int(deadline.remainingTime()));
        }
    }
    return requests.empty() ? last : requests.back().attempt;
}

// The absolute path of the file to play, or an empty string when there is none.
QString CanberraSound::findFile(const QString& fileName) const
{
    if (fileName.isEmpty())
        return QString();
    if (fileName.contains(QLatin1Char('/'))) {
        const QFileInfo given(fileName);
        return given.isFile() ? given.absoluteFilePath() : QString();
    }
    const QFileInfo here(QDir::current(), fileName);
    if (here.isFile())
        return here.absoluteFilePath();
    for (const QString& dir : searchDirs) {
        const QFileInfo there(QDir(dir), fileName);
        if (there.isFile())
            return there.absoluteFilePath();
    }
    return QString();
}

// Lets go of the players that have ended; the last of them keeps its attempt for lastAttempt().
void CanberraSound::forgetEnded()
{
    for (auto request = requests.begin(); request != requests.end();) {
        if (request->player->state() != QProcess::NotRunning) {
            ++request;
            continue;
        }
        if (!request->attempt)
            request->attempt = reportOf(*request->player, request->path);
        last = request->attempt;
        request = requests.erase(request);
    }
}

void CanberraSound::request(const QString& path)
{
    qCDebug(lcSound) << "playing" << (path.isEmpty() ? QStringLiteral("the default event sound") : path);
    forgetEnded();
    if (requests.size() >= maxPlaying)
        return;
    // The event sound asked for again while it still sounds would be heard as one: a note's beep
    // right after the beep that announced its program starts no second player.
    if (path.isEmpty() &&
        std::any_of(requests.begin(), requests.end(), [](const Request& r) { return r.path.isEmpty(); }))
        return;
    requests.push_back({std::make_unique<QProcess>(), path, std::nullopt});
    Request& made = requests.back();
    QProcess* process = made.player.get();
    process->setProgram(player);
    process->setArguments(path.isEmpty() ? QStringList() : QStringList{path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const auto takeReport = [&made] {
        if (!made.attempt)
            made.attempt = reportOf(*made.player, made.path);
    };
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, takeReport);
    QObject::connect(process, &QProcess::finished, process, takeReport);
    QObject::connect(process, &QProcess::errorOccurred, process, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            qCWarning(lcSound) << "cannot start the sound player" << player;
    });
    process->start();
}
