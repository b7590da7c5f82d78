// SPDX-License-Identifier: MIT
#include "CanberraSound.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <canberra.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>

Q_LOGGING_CATEGORY(lcSound, "nudgeon.sound", QtWarningMsg)

namespace {

// The desktop's default event sound, and the one tried when the theme has no "bell".
const char* const defaultEvents[] = {"bell", "dialog-information"};

// Requests beyond this many waiting are dropped, so a sound server that does not answer cannot pile them up.
constexpr std::size_t maxPending = 4;

// How long the destructor waits for a request still inside libcanberra before leaving the thread behind.
constexpr std::chrono::milliseconds stopWait(1000);

// When libpulse finds no sound server and its client.conf allows autospawn (the upstream default, off in
// Debian's build, never for root), it forks "pulseaudio --start", waits for it, and leaves that daemon
// running. PULSE_BINARY (pulseaudio(1)) names the program it starts: /bin/false, or any path that cannot run,
// makes the attempt fail at once, while the servers libpulse looks for stay as configured. It is set for the
// whole process, so programs started from it inherit it.
void keepPulseAudioFromStartingADaemon()
{
    static const QByteArray noDaemon("/bin/false");
    if (qgetenv("PULSE_BINARY") != noDaemon)
        qputenv("PULSE_BINARY", noDaemon);
}

} // namespace

struct CanberraSound::Worker
{
    std::mutex mutex;
    std::condition_variable wake;    // a request was queued, or the thread must stop
    std::condition_variable settled; // a request finished, or the thread ended
    std::deque<QString> pending;     // absolute file paths; an empty one asks for the default event sound
    bool busy = false;
    bool stopping = false;
    bool ended = false;
    std::optional<Attempt> last;

    ca_context* context = nullptr; // used by the thread only

    void run();
    Attempt playNow(const QString& path);
    int playProperty(const char* key, const char* value);
};

void CanberraSound::Worker::run()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stopping || !pending.empty(); });
        if (stopping)
            break;
        const QString path = pending.front();
        pending.pop_front();
        busy = true;
        lock.unlock();
        const Attempt attempt = playNow(path);
        lock.lock();
        last = attempt;
        busy = false;
        settled.notify_all();
    }
    lock.unlock();
    if (context)
        ca_context_destroy(context);
    context = nullptr;
    lock.lock();
    ended = true;
    settled.notify_all();
}

CanberraSound::Attempt CanberraSound::Worker::playNow(const QString& path)
{
    if (!path.isEmpty()) {
        const int result = playProperty(CA_PROP_MEDIA_FILENAME, QFile::encodeName(path).constData());
        if (result == CA_SUCCESS)
            return {path, QString(), result};
    }
    Attempt attempt;
    for (const char* event : defaultEvents) {
        attempt = {QString(), QString::fromLatin1(event), playProperty(CA_PROP_EVENT_ID, event)};
        if (attempt.result == CA_SUCCESS)
            break;
    }
    return attempt;
}

// Plays one sound given by one property, making the context first if there is none yet. libcanberra connects
// to the sound server on the first play, and again on each later one until that works.
int CanberraSound::Worker::playProperty(const char* key, const char* value)
{
    if (!context) {
        ca_context* made = nullptr;
        const int result = ca_context_create(&made);
        if (result != CA_SUCCESS)
            return result;
        ca_context_change_props(made, CA_PROP_APPLICATION_NAME, "Nudgeon", nullptr);
        context = made;
    }
    return ca_context_play(context, 0, key, value, nullptr);
}

CanberraSound::CanberraSound(const QStringList& searchDirs) : searchDirs(searchDirs) {}

CanberraSound::~CanberraSound()
{
    if (!thread.joinable())
        return;
    std::unique_lock<std::mutex> lock(worker->mutex);
    worker->stopping = true;
    worker->pending.clear();
    worker->wake.notify_all();
    const bool ended = worker->settled.wait_for(lock, stopWait, [this] { return worker->ended; });
    lock.unlock();
    if (ended)
        thread.join();
    else
        thread.detach();
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
    if (!worker)
        return std::nullopt;
    std::unique_lock<std::mutex> lock(worker->mutex);
    const bool idle = worker->settled.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        return worker->ended || (worker->pending.empty() && !worker->busy);
    });
    if (!idle)
        return std::nullopt;
    return worker->last;
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

void CanberraSound::request(const QString& path)
{
    qCDebug(lcSound) << "playing" << (path.isEmpty() ? QStringLiteral("the default event sound") : path);
    if (!thread.joinable()) {
        keepPulseAudioFromStartingADaemon();
        auto made = std::make_shared<Worker>();
        try {
            // The thread holds its own share of the worker: see the destructor.
            thread = std::thread([made] { made->run(); });
        } catch (const std::system_error&) {
            return; // no thread, no sound; the next request tries again
        }
        worker = std::move(made);
    }
    std::lock_guard<std::mutex> lock(worker->mutex);
    if (worker->pending.size() >= maxPending)
        return;
    worker->pending.push_back(path);
    worker->wake.notify_one();
}
