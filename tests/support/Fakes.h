// SPDX-License-Identifier: MIT
#pragma once
// Fakes of the platform services, for tests.

#include "platform/Autostart.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ErrorBox.h"
#include "platform/FileChooser.h"
#include "platform/Launcher.h"
#include "platform/Notifications.h"
#include "platform/Platform.h"
#include "platform/RegistryStore.h"
#include "platform/Settings.h"
#include "platform/Sound.h"

#include <QDateTime>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <ostream>

// Readable texts in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// A clock that stands still until the test moves it; sleeping moves it on.
class FakeClock : public Clock
{
public:
    explicit FakeClock(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(9, 0))) : current(start)
    {}
    QDateTime now() const override { return current; }
    void sleep(int ms) override
    {
        sleeps.append(ms);
        current = current.addMSecs(ms);
    }
    void set(const QDateTime& t) { current = t; }
    void set(const QDate& d, const QTime& t) { current = QDateTime(d, t); }
    void setTime(const QTime& t) { current = QDateTime(current.date(), t); }

    QDateTime current;
    QList<int> sleeps;
};

// Records what was played: "beep", or the file name.
class FakeSound : public Sound
{
public:
    void play(const QString& fileName) override { played.append(fileName); }
    void beep() override { played.append(QStringLiteral("beep")); }
    QStringList played;
};

class FakeErrorBox : public ErrorBox
{
public:
    void showError(const QString& message) override { messages.append(message); }
    QStringList messages;
};

// The store in memory; refuses writes of the names in refused.
class MemoryStore : public RegistryStore
{
public:
    bool keyExists(const QString& key) const override
    {
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (it.key().startsWith(key + QLatin1Char('|')))
                return true;
        }
        return false;
    }
    std::optional<QString> readString(const QString& key, const QString& name) const override
    {
        const auto it = values.find(key + QLatin1Char('|') + name);
        if (it == values.end())
            return std::nullopt;
        return *it;
    }
    bool writeString(const QString& key, const QString& name, const QString& value) override
    {
        if (refused.contains(name))
            return false;
        values[key + QLatin1Char('|') + name] = value;
        ++writes;
        return true;
    }
    bool deleteValue(const QString& key, const QString& name) override
    {
        values.remove(key + QLatin1Char('|') + name);
        return true;
    }
    bool deleteKey(const QString& key) override
    {
        for (auto it = values.begin(); it != values.end();) {
            if (it.key().startsWith(key + QLatin1Char('|')))
                it = values.erase(it);
            else
                ++it;
        }
        return true;
    }

    QMap<QString, QString> values;
    QSet<QString> refused;
    int writes = 0;
};

// Records the tray icon's life: "add:<tip>", "modify:<tip>", "remove".
class FakeTray
{
public:
    void add(const QString& tip)
    {
        calls.append(QStringLiteral("add:") + tip);
        shown = true;
        this->tip = tip;
    }
    void modify(const QString& tip)
    {
        calls.append(QStringLiteral("modify:") + tip);
        if (shown)
            this->tip = tip;
    }
    void remove()
    {
        calls.append(QStringLiteral("remove"));
        shown = false;
    }
    QStringList calls;
    QString tip;
    bool shown = false;
};

// Records every launch as "file|parameters|folder" and answers with result.
class FakeLauncher : public Launcher
{
public:
    Result launch(const QString& file, const QString& parameters, const QString& folder) override
    {
        launches.append(QStringList{file, parameters, folder}.join(QLatin1Char('|')));
        return result;
    }
    Attempt start(const QString& file, const QString& parameters, const QString& folder,
                  ExitHandler onExit) override
    {
        const Result r = launch(file, parameters, folder);
        if (r == Result::Started)
            exitHandlers.append(std::move(onExit));
        return {r, r == Result::Started ? QString() : reason};
    }
    // Ends the program of the given launch that started, counted from 0.
    void end(int started, const Exit& exit) { exitHandlers.at(started)(exit); }
    QStringList launches;
    Result result = Result::Started;
    QString reason = QStringLiteral("refused");
    QList<ExitHandler> exitHandlers;
};

class FakeClipboard : public Clipboard
{
public:
    void setText(const QString& text) override { texts.append(text); }
    QStringList texts;
};

// Answers the file chooser with the next of the prepared answers; nothing means cancel.
class FakeFileChooser : public FileChooser
{
public:
    std::optional<QString> chooseProgram(const QString& title) override
    {
        asked.append(title);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    QList<std::optional<QString>> answers;
    QStringList asked;
};

// Records whether the program is to start at log-on; refuses when told to.
class FakeAutostart : public Autostart
{
public:
    bool setEnabled(bool on) override
    {
        if (refuse)
            return false;
        enabled = on;
        return true;
    }
    std::optional<bool> enabled;
    bool refuse = false;
};

// A notification server that keeps what it was shown; a test plays the user's button.
class FakeNotifications : public Notifications
{
public:
    bool available() override { return running; }
    bool supportsActions() override { return withActions; }
    quint32 notify(const Notice& notice, std::function<void(const QString&)> onAction) override
    {
        if (!running || refuse)
            return 0;
        shown.append(notice);
        handlers.append(std::move(onAction));
        return static_cast<quint32>(shown.size());
    }
    void withdraw(quint32 id) override
    {
        if (id != 0)
            withdrawn.append(id);
    }
    // Chooses a button of the notice with this id.
    void choose(quint32 id, const QString& key) { handlers.at(static_cast<int>(id) - 1)(key); }

    bool running = true;
    bool withActions = true;
    bool refuse = false;
    QList<Notice> shown;
    QList<std::function<void(const QString&)>> handlers;
    QList<quint32> withdrawn;
};

// All the fakes together, handed to the engine as its platform; the settings over the store
// in memory.
struct FakePlatform
{
    explicit FakePlatform(const QString& programPath = QStringLiteral("/opt/Nudgeon/nudgeon"))
        : settings(store, autostart, errors, programPath)
    {}
    FakeClock clock;
    FakeSound sound;
    FakeErrorBox errors;
    MemoryStore store;
    FakeAutostart autostart;
    Settings settings;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    FakeFileChooser files;
    Platform platform() { return Platform{clock, sound, errors, settings}; }
};
