// SPDX-License-Identifier: MIT
// nudgeon-sound: plays one sound through libcanberra and ends once the sound has finished, a helper of
// nudgeon. The sound server's client and the codecs libcanberra brings are loaded here, never in nudgeon, and
// go when this process ends: libpulse cannot be unloaded from a process that has loaded it.
//
// Usage: nudgeon-sound [FILE]
//
// Plays FILE, or the desktop's default event sound where no FILE is given or it cannot be played: the
// "bell", or "dialog-information" where the sound theme has no bell. Once the sound has started, or none
// could, prints one line on standard output, "file RESULT" or "event ID RESULT", RESULT being libcanberra's
// result code (0 = success), then waits for the sound to end. Exits 0 when a sound played, 1 when none could.
// It links no Qt, so that it starts in a few milliseconds.

#include <canberra.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include <unistd.h>

namespace {

// A sound server that does not answer must not keep the helper for ever: until its sound has started, the
// helper ends (SIGALRM) after this many seconds.
constexpr unsigned startLimitSeconds = 10;

// The desktop's default event sound, and the one tried when the theme has no "bell".
const char* const defaultEvents[] = {"bell", "dialog-information"};

std::mutex mutex;
std::condition_variable ended;
bool soundEnded = false;

void onFinished(ca_context*, uint32_t, int, void*)
{
    const std::lock_guard<std::mutex> lock(mutex);
    soundEnded = true;
    ended.notify_all();
}

int playProperty(ca_context* context, const char* key, const char* value)
{
    ca_proplist* properties = nullptr;
    int result = ca_proplist_create(&properties);
    if (result != CA_SUCCESS)
        return result;
    result = ca_proplist_sets(properties, key, value);
    if (result == CA_SUCCESS)
        result = ca_context_play_full(context, 0, properties, onFinished, nullptr);
    ca_proplist_destroy(properties);
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    // When libpulse finds no sound server and its client.conf allows autospawn (the upstream default, off in
    // Debian's build, never for root), it forks "pulseaudio --start", waits for it, and leaves that daemon
    // running. PULSE_BINARY (pulseaudio(1)) names the program it starts: /bin/false makes the attempt fail at
    // once, while the servers libpulse looks for stay as configured.
    setenv("PULSE_BINARY", "/bin/false", 1);
    alarm(startLimitSeconds);

    const char* file = argc > 1 && argv[1][0] != '\0' ? argv[1] : nullptr;
    ca_context* context = nullptr;
    int result = ca_context_create(&context);
    if (result == CA_SUCCESS) {
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Nudgeon", nullptr);
        if (file)
            result = playProperty(context, CA_PROP_MEDIA_FILENAME, file);
    }
    if (context && file && result == CA_SUCCESS) {
        std::printf("file %d\n", result);
    } else {
        const char* event = defaultEvents[0];
        for (const char* tried : defaultEvents) {
            event = tried;
            result = context ? playProperty(context, CA_PROP_EVENT_ID, event) : result;
            if (result == CA_SUCCESS)
                break;
        }
        std::printf("event %s %d\n", event, result);
    }
    std::fflush(stdout);
    alarm(0);

    if (result == CA_SUCCESS) {
        std::unique_lock<std::mutex> lock(mutex);
        ended.wait(lock, [] { return soundEnded; });
    }
    if (context)
        ca_context_destroy(context);
    return result == CA_SUCCESS ? 0 : 1;
}
