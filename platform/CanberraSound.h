// SPDX-License-Identifier: MIT
#pragma once

#include "Sound.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

// Sounds through libcanberra, the desktop's event-sound library. play() and beep() only find the file and
// queue the request: a thread of this object talks to libcanberra, so a sound server that hangs cannot hang
// the caller. The first request makes that thread; libcanberra is loaded (dlopen) and its context
// (application name "Nudgeon") made when a sound is asked for, and both are let go once no sound has played
// for releaseAfter, so that the sound server's client and the codecs do not stay in memory between sounds.
// The destructor ends the thread, or after a second leaves behind a thread stuck in such a server. No request
// waits for its sound to finish.
class CanberraSound : public Sound
{
public:
    // What a request finally asked libcanberra for, a file or an event id, and its result code (0 = success).
    struct Attempt
    {
        QString fileName;
        QString eventId;
        int result = 0;
    };

    // A bare file name is looked for in the current folder, then in each of searchDirs.
    explicit CanberraSound(const QStringList& searchDirs,
                           std::chrono::milliseconds releaseAfter = std::chrono::seconds(3));
    ~CanberraSound() override;

    void play(const QString& fileName) override;
    void beep() override;

    // The last finished request once none is left, waiting up to timeoutMs; none if nothing finished in time.
    std::optional<Attempt> lastAttempt(int timeoutMs) const;

private:
    struct Worker;

    QString findFile(const QString& fileName) const;
    void request(const QString& path);

    QStringList searchDirs;
    std::chrono::milliseconds releaseAfter;
    // Shared with the thread, so that a thread stuck in libcanberra can outlive this object.
    std::shared_ptr<Worker> worker;
    std::thread thread;
};
