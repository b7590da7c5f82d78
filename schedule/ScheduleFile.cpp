// SPDX-License-Identifier: MIT
#include "schedule/ScheduleFile.h"

#include "schedule/EventLine.h"

#include <QStringDecoder>

QString decodeText(const QByteArray& bytes, bool cut)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        cut ? QStringDecoder::Flag::Default : QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

ScheduleReader::ScheduleReader(const QString& path) : file(path, MaxScheduleBytes)
{
    finished = !file.isOpen();
}

bool ScheduleReader::fill()
{
    buffer.resize(16384);
    const qint64 got = file.read(buffer.data(), buffer.size());
    buffer.resize(got > 0 ? got : 0);
    pos = 0;
    if (got == 0 && !cut)
        cut = file.cut();
    return got > 0;
}

QString ScheduleReader::problem() const
{
    if (cut)
        return UserFile::tooLargeMessage(file.path(), MaxScheduleBytes);
    return file.kind() == UserFile::Kind::Missing ? QString() : file.problem();
}

std::optional<QString> ScheduleReader::next()
{
    // Enough bytes for 255 characters in any encoding.
    constexpr qsizetype keepBytes = MaxLineLength * 4;
    if (pending) {
        std::optional<QString> line;
        line.swap(pending);
        return line;
    }
    if (finished)
        return std::nullopt;
    QByteArray line;
    bool cut = false;
    bool ended = false;
    while (!ended) {
        if (pos >= buffer.size() && !fill()) {
            finished = true;
            break;
        }
        const char c = buffer[pos++];
        if (c == '\n' || c == '\r') {
            ended = true;
            // A CR LF pair is one line end.
            if (c == '\r' && (pos < buffer.size() || fill()) && buffer[pos] == '\n')
                ++pos;
        } else if (line.size() < keepBytes) {
            line.append(c);
        } else {
            cut = true;
        }
    }
    if (line.isEmpty()) {
        finished = true;
        return std::nullopt;
    }
    return cutText(decodeText(line, cut));
}

QStringList readScheduleLines(const QString& path, int maxLines)
{
    QStringList lines;
    ScheduleReader reader(path);
    while (lines.size() < maxLines) {
        std::optional<QString> line = reader.next();
        if (!line)
            break;
        lines.append(*line);
    }
    return lines;
}

QStringList readScheduleEntries(const QString& path, QString* problem)
{
    QStringList entries;
    ScheduleReader reader(path);
    while (entries.size() < MaxEvents) {
        const std::optional<QString> line = reader.next();
        if (!line) {
            if (problem)
                *problem = reader.problem();
            break;
        }
        // A time field that is not a time comes only from editing the file by hand: skipped.
        if (timeValue(splitEventLine(cutText(*line)).time.left(MaxTimeText)) >= 0)
            entries.append(*line);
    }
    return entries;
}

QByteArray scheduleBytes(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        const QString l = cutText(line);
        if (!l.isEmpty())
            bytes += l.toUtf8() + "\r\n";
    }
    return bytes;
}

bool writeScheduleLines(const QString& path, const QStringList& lines)
{
    return UserFile::write(path, scheduleBytes(lines));
}
