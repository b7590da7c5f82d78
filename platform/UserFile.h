// SPDX-License-Identifier: MIT
#pragma once
// The one way the program reads and writes the files the user owns: the schedule, the notes,
// the settings store and the mail outbox. Only regular files are read or replaced; what is
// anything else (a FIFO, a device, a socket, a folder) is never opened to read, never waited
// on and never written over, and the user is told what it is.

#include <QByteArray>
#include <QString>

class UserFile
{
public:
    enum class Kind
    {
        File,
        Missing,
        Folder,
        Fifo,
        Socket,
        Device,
        Unreadable
    };

    // Opens the file to read at most cap bytes. Never blocks: a FIFO or a device is refused
    // before it is opened, and the opened file is checked again.
    UserFile(const QString& path, qint64 cap);
    ~UserFile();
    UserFile(const UserFile&) = delete;
    UserFile& operator=(const UserFile&) = delete;

    bool isOpen() const { return fd >= 0; }
    Kind kind() const { return found; }
    const QString& path() const { return filePath; }
    // Up to size bytes into data; 0 at the end of the file or at the cap, -1 on a read error.
    qint64 read(char* data, qint64 size);
    // Whether the file holds more than the cap allowed to read.
    bool cut();
    // What went wrong, in words naming the file and what it is; empty when the file is open.
    QString problem() const;

    struct Contents
    {
        Kind kind = Kind::Missing;
        QByteArray bytes;
        // The file holds more than the bytes read.
        bool cut = false;
        QString problem;
        bool isRead() const { return kind == Kind::File; }
    };
    // What is at the path, a link followed, without opening it.
    static Kind kindAt(const QString& path);
    // The first cap bytes of the file.
    static Contents readAll(const QString& path, qint64 cap);

    // Replaces the file with these bytes, all or nothing: written beside it, flushed to disk,
    // then renamed over it. Only a regular file or a missing path is replaced; a link is
    // followed to its target, and kept. A new file is made private (0600), an existing one
    // keeps its mode. False when nothing was written; when the path was refused as not a file,
    // *problem (when given) says what it is. Any other failure leaves *problem empty.
    static bool write(const QString& path, const QByteArray& bytes, QString* problem = nullptr);

    // Makes the folder and any missing parents private (0700); existing ones keep their mode.
    static bool makeFolder(const QString& path);

    // The words for a path that is not a file of this kind, e.g. "... is a FIFO, not a file".
    static QString describe(const QString& path, Kind kind);
    static QString tooLargeMessage(const QString& path, qint64 cap);

private:
    int fd = -1;
    Kind found = Kind::Missing;
    QString filePath;
    qint64 left = 0;
};
