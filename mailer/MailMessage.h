// SPDX-License-Identifier: MIT
#pragma once
// The message that carries a note: its headers, built so that nothing from the note or the
// addresses can add a header, and its body, the whole note as quoted-printable UTF-8 text.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

struct MailMessage
{
    QString from;      // the sender's plain address
    QStringList to;    // plain addresses
    QString subject;   // one line of text; line breaks and control characters become blanks
    QString body;      // the note, lines separated by "\n"
    QDateTime date;    // when the note fell due
    QString messageId; // "<unique@domain>"
};

// Who a stored message goes to, read back from its From and To headers.
struct Envelope
{
    QString from;
    QStringList to;
};

// At most this many characters of the note's first line go into the subject.
constexpr int MaxSubjectText = 60;

// "Nudgeon: " and the note's first line that holds more than blanks, its runs of blanks and
// control characters made one blank, cut to MaxSubjectText characters at a character boundary
// (a letter and its accents, or an emoji, stay whole), "..." added when cut.
QString subjectFor(const QString& noteText);

// The date in the form of RFC 5322, e.g. "Sun, 06 Dec 2026 10:00:30 +0100", with English names
// whatever the locale.
QString rfc5322Date(const QDateTime& date);

// A new message id, "<time.random@domain>", different on every call.
QString newMessageId(const QString& domain);

// The part of a plain address after the "@".
QString domainOf(const QString& address);

// The text of an unstructured header for "Name: " of nameLength characters: plain when it is
// printable ASCII (and holds no "=?"), else RFC 2047 encoded words of base64 UTF-8 that each
// hold whole characters; folded with CR LF and a blank so that no line passes 76 characters,
// where blanks or encoded words allow.
QByteArray encodeHeaderText(const QString& text, int nameLength);

// Quoted-printable of the text's UTF-8 bytes, "\n" becoming CR LF: 7-bit lines of at most 76
// characters, whatever the note's lines hold.
QByteArray quotedPrintable(const QString& text);

// The whole message: Date, From, To, Subject, Message-ID, MIME-Version, Content-Type and
// Content-Transfer-Encoding, a blank line, the body. Every line ends with CR LF and every byte
// is 7-bit. Header values lose their control characters whatever they hold, so no line break
// other than a fold of this function's own reaches the headers.
QByteArray composeMessage(const MailMessage& message);

// The sender and the recipients of a message this program composed, from its (unfolded) From
// and To headers; only plain addresses are taken.
Envelope envelopeOf(const QByteArray& message);
