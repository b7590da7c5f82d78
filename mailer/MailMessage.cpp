// SPDX-License-Identifier: MIT
#include "mailer/MailMessage.h"

#include "mailer/MailRequest.h"

#include <QRandomGenerator>
#include <QTextBoundaryFinder>

namespace {

constexpr int MaxLine = 76;

bool isLineControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7f || c.category() == QChar::Other_Control ||
           c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph;
}

// The text as one line: control characters (and so every kind of line break) become blanks,
// runs of blanks one blank.
QString oneLine(const QString& text)
{
    QString s = text;
    for (QChar& c : s) {
        if (isLineControl(c))
            c = QLatin1Char(' ');
    }
    return s.simplified();
}

bool needsEncoding(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f)
            return true;
    }
    return text.contains(QLatin1String("=?"));
}

// Plain text folded before blanks so that lines stay within MaxLine where a blank allows it.
QByteArray foldPlain(const QByteArray& text, int nameLength)
{
    QByteArray out;
    int lineLength = nameLength;
    const QList<QByteArray> words = text.split(' ');
    for (int i = 0; i < words.size(); ++i) {
        if (i > 0) {
            if (lineLength + 1 + words[i].size() > MaxLine) {
                out += "\r\n";
                lineLength = 0;
            }
            out += ' ';
            ++lineLength;
        }
        out += words[i];
        lineLength += words[i].size();
    }
    return out;
}

// The number of UTF-16 units of the character (code point) that starts at i.
int codePointLength(const QString& text, int i)
{
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

QByteArray encodedWords(const QString& text, int nameLength)
{
    static const QByteArray open = "=?UTF-8?B?";
    static const QByteArray close = "?=";
    QByteArray out;
    int room = MaxLine - nameLength; // for the first word, after "Name: "
    QByteArray chunk;
    const auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += open + chunk.toBase64() + close;
        chunk.clear();
        room = MaxLine - 1; // each later word on a line of its own, after a blank
    };
    // The most bytes a word may hold on a line with this much room: 4 base64 characters carry 3.
    const auto maxBytes = [&] {
        return (room - open.size() - close.size()) / 4 * 3;
    };
    for (int i = 0; i < text.size();) {
        const int n = codePointLength(text, i);
        const QByteArray bytes = text.mid(i, n).toUtf8();
        if (chunk.size() + bytes.size() > maxBytes())
            flush();
        chunk += bytes;
        i += n;
    }
    flush();
    return out;
}

// One header line, "Name: value". Every header goes through here: the value keeps printable
// ASCII and the folds made by this file's functions (CR LF and a blank) and loses everything
// else, so no text of a note or an address can end the line and start another header.
QByteArray headerLine(const char* name, const QByteArray& value)
{
    QByteArray clean;
    for (int i = 0; i < value.size(); ++i) {
        const char c = value[i];
        // The only line breaks kept are folds made here: CR LF followed by a blank.
        if (c == '\r' && i + 2 < value.size() && value[i + 1] == '\n' && value[i + 2] == ' ') {
            clean += "\r\n";
            ++i;
            continue;
        }
        if (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7f)
            clean += c;
    }
    return QByteArray(name) + ": " + clean + "\r\n";
}

QByteArray addressList(const QStringList& addresses, int nameLength)
{
    QByteArray out;
    int lineLength = nameLength;
    for (int i = 0; i < addresses.size(); ++i) {
        const QByteArray a = addresses[i].toUtf8().replace(' ', "");
        if (i > 0) {
            out += ',';
            ++lineLength;
            if (lineLength + 1 + a.size() > MaxLine) {
                out += "\r\n";
                lineLength = 0;
            }
            out += ' ';
            ++lineLength;
        }
        out += a;
        lineLength += a.size();
    }
    return out;
}

char hexDigit(int v)
{
    return "0123456789ABCDEF"[v & 15];
}

} // namespace

QString subjectFor(const QString& noteText)
{
    const QString prefix = QStringLiteral("Nudgeon: ");
    QString first;
    for (const QString& line : noteText.split(QLatin1Char('\n'))) {
        first = oneLine(line);
        if (!first.isEmpty())
            break;
    }
    // Characters as the reader sees them: a letter with its accents, an emoji sequence.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, first);
    int characters = 0;
    qsizetype cut = -1;
    while (finder.toNextBoundary() >= 0) {
        if (++characters == MaxSubjectText)
            cut = finder.position();
    }
    if (characters <= MaxSubjectText)
        return (prefix + first).trimmed();
    return prefix + first.left(cut).trimmed() + QStringLiteral("...");
}

QString rfc5322Date(const QDateTime& date)
{
    static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate d = date.date();
    const QTime t = date.time();
    const int offset = date.offsetFromUtc() / 60;
    const int magnitude = qAbs(offset);
    return QStringLiteral("%1, %2 %3 %4 %5:%6:%7 %8%9%10")
        .arg(QLatin1String(days[d.dayOfWeek() - 1]))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(months[d.month() - 1]))
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.second(), 2, 10, QLatin1Char('0'))
        .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
        .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString newMessageId(const QString& domain)
{
    static quint32 sequence = 0;
    const quint64 random = QRandomGenerator::system()->generate64();
    return QStringLiteral("<%1.%2.%3@%4>")
        .arg(QDateTime::currentMSecsSinceEpoch())
        .arg(++sequence)
        .arg(random, 16, 16, QLatin1Char('0'))
        .arg(domain);
}

QString domainOf(const QString& address)
{
    return address.mid(address.lastIndexOf(QLatin1Char('@')) + 1);
}

QByteArray encodeHeaderText(const QString& text, int nameLength)
{
    const QString line = oneLine(text);
    if (needsEncoding(line))
        return encodedWords(line, nameLength);
    return foldPlain(line.toLatin1(), nameLength);
}

QByteArray quotedPrintable(const QString& text)
{
    QByteArray out;
    QStringList lines = text.split(QLatin1Char('\n'));
    // Every line ends with CR LF: a line end after the note's last line adds no empty line.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    for (int l = 0; l < lines.size(); ++l) {
        const QByteArray bytes = lines[l].toUtf8();
        QByteArray line;
        for (int i = 0; i < bytes.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(bytes[i]);
            const bool last = i == bytes.size() - 1;
            QByteArray piece;
            // Blanks at the end of a line would be taken away in transit; "=" starts an escape.
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
                piece = QByteArray(1, char(c));
            else
                piece = QByteArray{"="} + hexDigit(c >> 4) + hexDigit(c);
            // A soft line break "=" keeps each line within MaxLine; the last piece of a line may
            // use the place of the "=".
            const int limit = last ? MaxLine : MaxLine - 1;
            if (line.size() + piece.size() > limit) {
                out += line + "=\r\n";
                line.clear();
            }
            line += piece;
        }
        out += line + "\r\n";
    }
    return out;
}

QByteArray composeMessage(const MailMessage& m)
{
    QByteArray out;
    out += headerLine("Date", rfc5322Date(m.date).toLatin1());
    out += headerLine("From", addressList({m.from}, 6));
    out += headerLine("To", addressList(m.to, 4));
    out += headerLine("Subject", encodeHeaderText(m.subject, 9));
    out += headerLine("Message-ID", m.messageId.toUtf8().replace(' ', ""));
    out += headerLine("MIME-Version", "1.0");
    out += headerLine("Content-Type", "text/plain; charset=UTF-8");
    out += headerLine("Content-Transfer-Encoding", "quoted-printable");
    out += "\r\n";
    out += quotedPrintable(m.body);
    return out;
}

Envelope envelopeOf(const QByteArray& message)
{
    Envelope envelope;
    const int end = message.indexOf("\r\n\r\n");
    QByteArray head = end < 0 ? message : message.left(end);
    head.replace("\r\n ", " ");
    head.replace("\r\n\t", " ");
    for (const QByteArray& line : head.split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        const int colon = text.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString name = text.left(colon).trimmed().toLower();
        const QStringList values = text.mid(colon + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (name == QLatin1String("from") && envelope.from.isEmpty() && values.size() == 1 &&
            isPlainAddress(values[0].trimmed()))
            envelope.from = values[0].trimmed();
        if (name == QLatin1String("to") && envelope.to.isEmpty()) {
            for (const QString& v : values) {
                if (isPlainAddress(v.trimmed()))
                    envelope.to.append(v.trimmed());
            }
        }
    }
    return envelope;
}
