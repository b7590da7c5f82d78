// SPDX-License-Identifier: MIT
// The message of a note: subject, date, message id, header encoding and the body.

#include "mailer/MailMessage.h"

#include "tests/support/Fakes.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

// Decodes the way a mail reader does, independently of the code under test.

QByteArray unfold(QByteArray value)
{
    return value.replace("\r\n ", " ").replace("\r\n\t", "\t");
}

// An unstructured header value: encoded words =?UTF-8?B?...?= (blanks between adjacent ones
// dropped) or plain text.
QString decodeHeader(const QByteArray& folded)
{
    const QString value = QString::fromLatin1(unfold(folded));
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]*)\\?="));
    QByteArray bytes;
    int pos = 0;
    bool lastWasWord = false;
    for (auto it = word.globalMatch(value); it.hasNext();) {
        const auto m = it.next();
        const QString between = value.mid(pos, m.capturedStart() - pos);
        if (!(lastWasWord && between.trimmed().isEmpty()))
            bytes += between.toLatin1();
        bytes += QByteArray::fromBase64(m.captured(1).toLatin1());
        pos = m.capturedEnd();
        lastWasWord = true;
    }
    bytes += value.mid(pos).toLatin1();
    return QString::fromUtf8(bytes);
}

QByteArray decodeQuotedPrintable(const QByteArray& body)
{
    QByteArray out;
    for (int i = 0; i < body.size(); ++i) {
        if (body[i] == '=' && body.mid(i + 1, 2) == "\r\n") {
            i += 2;
        } else if (body[i] == '=') {
            out += char(body.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') {
            out += '\n';
            ++i;
        } else {
            out += body[i];
        }
    }
    return out;
}

struct Parsed
{
    QList<QPair<QByteArray, QByteArray>> headers; // name and folded value
    QByteArray body;
};

Parsed parse(const QByteArray& message)
{
    Parsed p;
    const int end = message.indexOf("\r\n\r\n");
    EXPECT_GE(end, 0) << "no blank line after the headers";
    p.body = message.mid(end + 4);
    for (const QByteArray& line : message.left(end).split('\n')) {
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        if (text.startsWith(' ') || text.startsWith('\t')) {
            EXPECT_FALSE(p.headers.isEmpty()) << "a continuation line comes first";
            if (!p.headers.isEmpty())
                p.headers.last().second += "\r\n" + text;
            continue;
        }
        const int colon = text.indexOf(": ");
        EXPECT_GT(colon, 0) << "not a header line: " << text.toStdString();
        p.headers.append({text.left(colon), text.mid(colon + 2)});
    }
    return p;
}

QByteArray header(const Parsed& p, const char* name)
{
    for (const auto& h : p.headers) {
        if (h.first == name)
            return h.second;
    }
    ADD_FAILURE() << "no header " << name;
    return {};
}

QList<QByteArray> headerNames(const Parsed& p)
{
    QList<QByteArray> names;
    for (const auto& h : p.headers)
        names.append(h.first);
    return names;
}

// Every line ends with CR LF, is 7-bit and at most the given length.
void expectCleanLines(const QByteArray& text, int maxLength)
{
    ASSERT_TRUE(text.endsWith("\r\n"));
    for (int i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        ASSERT_LT(c, 0x80) << "8-bit byte at " << i;
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
        }
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
    }
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& line : lines)
        EXPECT_LE(line.size() - 1, maxLength) << line.toStdString();
}

const QList<QByteArray> expectedHeaders{
    "Date",       "From",         "To",           "Subject",
    "Message-ID", "MIME-Version", "Content-Type", "Content-Transfer-Encoding"};

MailMessage sample()
{
    MailMessage m;
    m.from = QStringLiteral("nudgeon@example.net");
    m.to = QStringList{QStringLiteral("ann@example.org"), QStringLiteral("bob@example.org")};
    m.subject = QStringLiteral("Nudgeon: Buy milk");
    m.body = QStringLiteral("Buy milk\nand bread");
    m.date = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 30), QTimeZone(3600));
    m.messageId = QStringLiteral("<1.2@example.net>");
    return m;
}

bool hasLoneSurrogate(const QString& s)
{
    for (int i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate()) {
            if (i + 1 >= s.size() || !s[i + 1].isLowSurrogate())
                return true;
            ++i;
        } else if (s[i].isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(MailSubject, IsTheFirstLineThatHoldsText)
{
    EXPECT_EQ(subjectFor(QStringLiteral("Buy milk\nand bread")), QStringLiteral("Nudgeon: Buy milk"));
    EXPECT_EQ(subjectFor(QStringLiteral("\n   \n  Buy   milk \t now \nand bread")),
              QStringLiteral("Nudgeon: Buy milk now"));
    EXPECT_EQ(subjectFor(QString()), QStringLiteral("Nudgeon:"));
}

TEST(MailSubject, ALongFirstLineIsCutAtACharacterBoundary)
{
    const QString sixty(60, QLatin1Char('a'));
    EXPECT_EQ(subjectFor(sixty + QStringLiteral("\nmore")), QStringLiteral("Nudgeon: ") + sixty);
    EXPECT_EQ(subjectFor(sixty + QStringLiteral("bcdef")),
              QStringLiteral("Nudgeon: ") + sixty + QStringLiteral("..."));

    // Characters as read: an emoji (two UTF-16 units) and a letter with a combining accent each
    // count once and stay whole.
    const QString fiftyNine(59, QLatin1Char('a'));
    for (const QString& sixtieth : {QStringLiteral("\U0001F600"), QStringLiteral("e\u0301"),
                                    QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467")}) {
        const QString s = subjectFor(fiftyNine + sixtieth + QStringLiteral("\U0001F600xyz"));
        EXPECT_EQ(s, QStringLiteral("Nudgeon: ") + fiftyNine + sixtieth + QStringLiteral("..."));
        EXPECT_FALSE(hasLoneSurrogate(s));
    }
    // Cut inside a run of emoji: never half of one.
    QString emoji;
    for (int i = 0; i < 70; ++i)
        emoji += QStringLiteral("\U0001F600");
    const QString s = subjectFor(emoji);
    EXPECT_FALSE(hasLoneSurrogate(s));
    EXPECT_EQ(s.size(), 9 + 120 + 3);
}

TEST(MailSubject, LineBreaksAndControlCharactersBecomeBlanks)
{
    const QString s = subjectFor(QStringLiteral("Hi\u2028Bcc: eve@example.org\u0085x\vy\fz\u2029w\x1c"
                                                "v\x7fu"));
    EXPECT_EQ(s, QStringLiteral("Nudgeon: Hi Bcc: eve@example.org x y z w v u"));
}

TEST(MailDate, HasTheFormOfRfc5322WithEnglishNamesInAnyLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(rfc5322Date(QDateTime(QDate(2026, 12, 6), QTime(10, 0, 30), QTimeZone(3600))),
              QStringLiteral("Sun, 06 Dec 2026 10:00:30 +0100"));
    EXPECT_EQ(rfc5322Date(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59), QTimeZone(-(3 * 3600 + 1800)))),
              QStringLiteral("Thu, 29 Feb 2024 23:59:59 -0330"));
    EXPECT_EQ(rfc5322Date(QDateTime(QDate(2000, 1, 1), QTime(0, 0), QTimeZone(5 * 3600 + 1800))),
              QStringLiteral("Sat, 01 Jan 2000 00:00:00 +0530"));
    EXPECT_EQ(rfc5322Date(QDateTime(QDate(2031, 7, 14), QTime(8, 5, 3), QTimeZone::utc())),
              QStringLiteral("Mon, 14 Jul 2031 08:05:03 +0000"));
    QLocale::setDefault(before);
}

TEST(MailMessageId, IsNewEachTimeAtTheSendersDomain)
{
    static const QRegularExpression form(QStringLiteral("^<[A-Za-z0-9.]+@example\\.net>$"));
    QSet<QString> ids;
    for (int i = 0; i < 1000; ++i) {
        const QString id = newMessageId(QStringLiteral("example.net"));
        EXPECT_TRUE(form.match(id).hasMatch()) << id.toStdString();
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 1000);
    EXPECT_EQ(domainOf(QStringLiteral("nudgeon@mail.example.net")), QStringLiteral("mail.example.net"));
}

TEST(MailHeaderText, PrintableAsciiStaysPlainAndFoldsAtBlanks)
{
    EXPECT_EQ(encodeHeaderText(QStringLiteral("Nudgeon: Buy milk"), 9), QByteArray("Nudgeon: Buy milk"));

    const QString words =
        QStringLiteral("Nudgeon: ") + QString(QStringLiteral("word ")).repeated(30).trimmed();
    const QByteArray folded = encodeHeaderText(words, 9);
    EXPECT_TRUE(folded.contains("\r\n "));
    EXPECT_EQ(QString::fromLatin1(unfold(folded)), words);
    const QList<QByteArray> lines = ("Subject: " + folded).split('\n');
    for (const QByteArray& line : lines)
        EXPECT_LE(line.size() - (line.endsWith('\r') ? 1 : 0), 76) << line.toStdString();
}

TEST(MailHeaderText, OtherTextBecomesEncodedWordsOfWholeCharacters)
{
    const QString mixed =
        QStringLiteral("Caf\u00e9 \u2014 \u65e5\u672c\u8a9e \U0001F600\U0001F600 Gr\u00fc\u00dfe");
    QStringList texts{QStringLiteral("Nudgeon: look =?UTF-8?B?SGk=?= here")};
    // Every alignment of the multi-byte characters against the words' ends.
    for (int shift = 0; shift < 12; ++shift)
        texts.append(QStringLiteral("Nudgeon: ") + QString(shift, QLatin1Char('x')) + mixed.repeated(3));
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]*)\\?="));
    for (const QString& text : texts) {
        const QByteArray encoded = encodeHeaderText(text, 9);
        EXPECT_EQ(decodeHeader(encoded), text);
        EXPECT_TRUE(encoded.startsWith("=?UTF-8?B?")) << encoded.toStdString();
        const QList<QByteArray> lines = ("Subject: " + encoded).split('\n');
        for (const QByteArray& line : lines)
            EXPECT_LE(line.size() - (line.endsWith('\r') ? 1 : 0), 76) << line.toStdString();
        for (auto it = word.globalMatch(QString::fromLatin1(encoded)); it.hasNext();) {
            const auto m = it.next();
            EXPECT_LE(m.capturedLength(), 75);
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString part = utf8.decode(QByteArray::fromBase64(m.captured(1).toLatin1()));
            EXPECT_FALSE(utf8.hasError())
                << "an encoded word splits a character: " << m.captured(0).toStdString();
            EXPECT_FALSE(hasLoneSurrogate(part));
        }
    }
}

TEST(MailBody, QuotedPrintableKeepsEveryLineShortAndSevenBit)
{
    EXPECT_EQ(quotedPrintable(QStringLiteral("a = b")), QByteArray("a =3D b\r\n"));
    EXPECT_EQ(quotedPrintable(QStringLiteral("end \nx\t")), QByteArray("end=20\r\nx=09\r\n"));
    EXPECT_EQ(quotedPrintable(QStringLiteral("caf\u00e9\n")), QByteArray("caf=C3=A9\r\n"));

    const QString longLine = QString(QStringLiteral("0123456789 \u00e9=")).repeated(300);
    const QString text =
        QStringLiteral("first\n\n.\n..two dots\n") + longLine + QStringLiteral("\nends with blank ");
    const QByteArray qp = quotedPrintable(text);
    expectCleanLines(qp, 76);
    EXPECT_EQ(QString::fromUtf8(decodeQuotedPrintable(qp)), text + QLatin1Char('\n'));
}

TEST(MailMessage, HasTheHeadersAndTheWholeNoteAsItsBody)
{
    MailMessage m = sample();
    m.subject = QStringLiteral("Nudgeon: Caf\u00e9 \U0001F600");
    m.body = QStringLiteral("Caf\u00e9 \U0001F600\nsecond line  \n.\n") + QString(2000, QLatin1Char('x')) +
             QStringLiteral("\n= sign");
    const QByteArray message = composeMessage(m);
    expectCleanLines(message, 78);

    const Parsed p = parse(message);
    EXPECT_EQ(headerNames(p), expectedHeaders);
    EXPECT_EQ(header(p, "Date"), QByteArray("Sun, 06 Dec 2026 10:00:30 +0100"));
    EXPECT_EQ(header(p, "From"), QByteArray("nudgeon@example.net"));
    EXPECT_EQ(header(p, "To"), QByteArray("ann@example.org, bob@example.org"));
    EXPECT_EQ(decodeHeader(header(p, "Subject")), m.subject);
    EXPECT_EQ(header(p, "Message-ID"), QByteArray("<1.2@example.net>"));
    EXPECT_EQ(header(p, "MIME-Version"), QByteArray("1.0"));
    EXPECT_EQ(header(p, "Content-Type"), QByteArray("text/plain; charset=UTF-8"));
    EXPECT_EQ(header(p, "Content-Transfer-Encoding"), QByteArray("quoted-printable"));
    EXPECT_EQ(QString::fromUtf8(decodeQuotedPrintable(p.body)), m.body + QLatin1Char('\n'));
}

TEST(MailMessage, NoValueOfANoteOrAnAddressCanAddAHeader)
{
    MailMessage m = sample();
    m.subject = QStringLiteral("Hi\r\nBcc: eve@example.org\nX-Injected: 1\rX-Injected: 2\u2028X-Injected: 3");
    m.to = QStringList{QStringLiteral("ann@example.org\r\nBcc: eve@example.org"),
                       QStringLiteral("bob@example.org")};
    m.from = QStringLiteral("nudgeon@example.net\nX-Injected: 4");
    m.messageId = QStringLiteral("<1.2@example.net>\r\nX-Injected: 5");
    m.body = QStringLiteral("body\r\n\r\nX-Injected: 6");
    const QByteArray message = composeMessage(m);
    expectCleanLines(message, 998);
    const Parsed p = parse(message);
    EXPECT_EQ(headerNames(p), expectedHeaders);
    for (const QByteArray& line : message.left(message.indexOf("\r\n\r\n")).split('\n')) {
        EXPECT_FALSE(line.startsWith("Bcc")) << line.toStdString();
        EXPECT_FALSE(line.startsWith("X-Injected")) << line.toStdString();
    }
}

TEST(MailMessage, TheEnvelopeComesBackFromTheHeaders)
{
    MailMessage m = sample();
    m.to.clear();
    for (int i = 0; i < 40; ++i)
        m.to.append(QStringLiteral("person.%1@example.org").arg(i));
    const QByteArray message = composeMessage(m);
    expectCleanLines(message, 78);
    const Envelope e = envelopeOf(message);
    EXPECT_EQ(e.from, m.from);
    EXPECT_EQ(e.to, m.to);

    // A header in the body is no header.
    const Envelope none = envelopeOf("Subject: x\r\n\r\nFrom: eve@example.org\r\nTo: eve@example.org\r\n");
    EXPECT_TRUE(none.from.isEmpty());
    EXPECT_TRUE(none.to.isEmpty());
}
