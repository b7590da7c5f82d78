// SPDX-License-Identifier: MIT
#pragma once
// What the mail program keeps in its working folder: the outbox of messages that could not be
// sent, and the log of every attempt.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The folder "outbox" of the working folder: one message a file, "<UTC time>-<pid>-<n>.eml", so
// that the names sort oldest first.
class Outbox
{
public:
    explicit Outbox(const QString& workDir);

    QString folder() const { return dir; }

    // Stores the message under a new name: written to a hidden temporary file of the folder,
    // flushed to disk, then renamed, so that the outbox never holds half a message. Returns the
    // new file's path, or an empty string and the reason in *error.
    QString store(const QByteArray& message, QString* error);

    // The paths of the stored messages, oldest first. Unfinished temporary files are not among them.
    QStringList waiting() const;

    // Larger messages are never read: no note makes one.
    static constexpr qint64 MaxMessageBytes = 8 * 1024 * 1024;
    // The message's bytes; nothing when it cannot be read or is larger than MaxMessageBytes.
    static std::optional<QByteArray> read(const QString& path);

    bool remove(const QString& path);

private:
    QString dir;
};

// "mail.log" of the working folder: one line a call, the local time with its UTC offset first.
class MailLog
{
public:
    explicit MailLog(const QString& workDir);

    QString path() const { return file; }

    // Appends "<time> <text>", the text's control characters shown as escapes so that it stays one
    // line. False when the log cannot be written.
    bool append(const QString& text, const QDateTime& when = QDateTime::currentDateTime());

private:
    QString file;
};
