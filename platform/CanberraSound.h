// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Sound.h"

#include <QString>
#include <QStringList>

#include <list>
#include <memory>
#include <optional>

class QProcess;

// Sounds through libcanberra, the desktop's event-sound library, each played by a process of its own, the
// sound player (nudgeon-sound), which ends when its sound has: the sound server's client and the codecs stay
// in memory only while a sound plays, and a sound server that hangs holds up neither the caller nor this
// object. play() and beep() find the file and start the player; no request waits for its sound to finish.
// The destructor ends the players still running.
class CanberraSound : public Sound
{
public:
    // What a request finally asked libcanberra for, a file or an event id, and its result code (0 = success;
    // -1 when the player could not run).
    struct Attempt
    {
        QString fileName;
        QString eventId;
        int result = 0;
    };

    // A bare file name is looked for in the current folder, then in each of searchDirs. player is the sound
    // player's path; by default the one installed beside the program or in its helper folder.
    explicit CanberraSound(const QStringList& searchDirs, const QString& player = defaultPlayer());
    ~CanberraSound() override;

    void play(const QString& fileName) override;
    void beep() override;

    // The last finished request once none is left, waiting up to timeoutMs; none if nothing finished in time.
    std::optional<Attempt> lastAttempt(int timeoutMs) const;

    static QString defaultPlayer();

private:
    struct Request;

    QString findFile(const QString& fileName) const;
    void request(const QString& path);
    void forgetEnded();

    QStringList searchDirs;
    QString player;
    // Filled in as the players report, also while lastAttempt() waits for them.
    mutable std::list<Request> requests;
    mutable std::optional<Attempt> last;
};
