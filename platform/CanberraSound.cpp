// SPDX-License-Identifier: MIT
#include "CanberraSound.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include "FreeMemory.h"

#include <canberra.h>
#include <dlfcn.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
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

// libcanberra's functions, found in the library once it is loaded. The program does not link libcanberra:
// loaded, it brings the sound server's client and every codec libsndfile knows.
class CanberraLibrary
{
public:
    bool load()
    {
        handle = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            qCWarning(lcSound) << "cannot load libcanberra:" << dlerror();
            return false;
        }
        if (find(contextCreate, "ca_context_create") && find(contextDestroy, "ca_context_destroy") &&
            find(contextChangeProps, "ca_context_change_props") &&
            find(contextPlayFull, "ca_context_play_full") && find(proplistCreate, "ca_proplist_create") &&
            find(proplistSets, "ca_proplist_sets") && find(proplistDestroy, "ca_proplist_destroy"))
            return true;
        unload();
        return false;
    }

    void unload()
    {
        if (handle)
            dlclose(handle);
        handle = nullptr;
    }

    bool loaded() const { return handle != nullptr; }

    int (*contextCreate)(ca_context**) = nullptr;
    int (*contextDestroy)(ca_context*) = nullptr;
    int (*contextChangeProps)(ca_context*, ...) = nullptr;
    int (*contextPlayFull)(ca_context*, uint32_t, ca_proplist*, ca_finish_callback_t, void*) = nullptr;
    int (*proplistCreate)(ca_proplist**) = nullptr;
    int (*proplistSets)(ca_proplist*, const char*, const char*) = nullptr;
    int (*proplistDestroy)(ca_proplist*) = nullptr;

private:
    template <typename Function> bool find(Function& function, const char* name)
    {
        function = reinterpret_cast<Function>(dlsym(handle, name));
        if (!function)
            qCWarning(lcSound) << "libcanberra has no" << name;
        return function != nullptr;
    }

    void* handle = nullptr;
};

} // namespace

struct CanberraSound::Worker
{
    explicit Worker(std::chrono::milliseconds releaseAfter) : releaseAfter(releaseAfter) {}

    const std::chrono::milliseconds releaseAfter;
    std::mutex mutex;
    std::condition_variable wake;    // a request was queued, a sound ended, or the thread must stop
    std::condition_variable settled; // a request finished, or the thread ended
    std::deque<QString> pending;     // absolute file paths; an empty one asks for the default event sound
    bool busy = false;
    bool stopping = false;
    bool ended = false;
    std::optional<Attempt> last;
    std::set<uint32_t> playing; // the sounds libcanberra has not yet said are finished
    uint32_t lastId = 0;
    std::chrono::steady_clock::time_point quietSince; // when the last sound ended or failed to start

    // Used by the thread only.
    CanberraLibrary library;
    ca_context* context = nullptr;

    void run();
    Attempt playNow(const QString& path);
    int playProperty(const char* key, const char* value);
    void release();
    static void finished(ca_context*, uint32_t id, int, void* worker);
};

void CanberraSound::Worker::run()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        if (stopping)
            break;
        if (!pending.empty()) {
            const QString path = pending.front();
            pending.pop_front();
            busy = true;
            lock.unlock();
            const Attempt attempt = playNow(path);
            lock.lock();
            last = attempt;
            busy = false;
            if (playing.empty())
                quietSince = std::chrono::steady_clock::now();
            settled.notify_all();
            continue;
        }
        if (!library.loaded() || !playing.empty()) {
            wake.wait(lock);
            continue;
        }
        const auto releaseAt = quietSince + releaseAfter;
        if (wake.wait_until(lock, releaseAt) == std::cv_status::timeout && !stopping && pending.empty() &&
            playing.empty() && std::chrono::steady_clock::now() >= releaseAt) {
            lock.unlock();
            release();
            lock.lock();
        }
    }
    lock.unlock();
    release();
    lock.lock();
    ended = true;
    settled.notify_all();
}

// Destroys the context, which ends its connection to the sound server, and unloads libcanberra. Called
// without the lock held: destroying the context may wait for libcanberra's own thread, which may be calling
// finished().
void CanberraSound::Worker::release()
{
    if (context)
        library.contextDestroy(context);
    context = nullptr;
    if (!library.loaded())
        return;
    library.unload();
    returnFreeMemory();
    qCDebug(lcSound) << "let libcanberra go";
}

void CanberraSound::Worker::finished(ca_context*, uint32_t id, int, void* worker)
{
    auto* self = static_cast<Worker*>(worker);
    const std::lock_guard<std::mutex> lock(self->mutex);
    self->playing.erase(id);
    if (self->playing.empty())
        self->quietSince = std::chrono::steady_clock::now();
    self->wake.notify_all();
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

// Plays one sound given by one property, loading libcanberra and making the context first if there is none
// yet. libcanberra connects to the sound server on the first play, and again on each later one until that
// works.
int CanberraSound::Worker::playProperty(const char* key, const char* value)
{
    if (!library.loaded() && !library.load())
        return CA_ERROR_NOTAVAILABLE;
    if (!context) {
        ca_context* made = nullptr;
        const int result = library.contextCreate(&made);
        if (result != CA_SUCCESS)
            return result;
        library.contextChangeProps(made, CA_PROP_APPLICATION_NAME, "Nudgeon", nullptr);
        context = made;
    }
    ca_proplist* properties = nullptr;
    int result = library.proplistCreate(&properties);
    if (result != CA_SUCCESS)
        return result;
    result = library.proplistSets(properties, key, value);
    if (result == CA_SUCCESS) {
        uint32_t id = 0;
        {
            // Counted as playing before it starts: libcanberra may say it finished before the call returns.
            const std::lock_guard<std::mutex> lock(mutex);
            id = ++lastId;
            playing.insert(id);
        }
        result = library.contextPlayFull(context, id, properties, &Worker::finished, this);
        if (result != CA_SUCCESS) {
            const std::lock_guard<std::mutex> lock(mutex);
            playing.erase(id);
        }
    }
    library.proplistDestroy(properties);
    return result;
}

CanberraSound::CanberraSound(const QStringList& searchDirs, std::chrono::milliseconds releaseAfter)
    : searchDirs(searchDirs), releaseAfter(releaseAfter)
{}

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
        auto made = std::make_shared<Worker>(releaseAfter);
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
