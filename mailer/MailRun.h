// SPDX-License-Identifier: MIT
#pragma once
// One run of the mail program: the outbox first, then the note it was started for.

#include "mailer/MailConfig.h"
#include "mailer/MailMessage.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class RegistryStore;

struct SendResult
{
    bool sent = false;
    // The failure lies with the server or the way to it (no connection, no TLS, login refused),
    // not with one message: the messages after it would fail the same way.
    bool serverFailed = false;
    QString error; // libcurl's text and the server's last answer
};

// Hands a message to the mail server.
class Sender
{
public:
    virtual ~Sender() = default;
    virtual SendResult send(const MailConfig& config, const Envelope& envelope,
                            const QByteArray& message) = 0;
};

// Exit codes of the mail program.
enum MailExit
{
    MailSent = 0,    // the note's message went out
    MailKept = 1,    // it did not, and waits in the outbox
    MailRefused = 2, // the parameters or the note file are not usable; nothing was sent
    MailNotSet = 3,  // the mail settings are missing or wrong; nothing was sent
    MailLost = 4,    // it did not go out and could not be kept in the outbox either
};

struct MailRunResult
{
    int exitCode = MailRefused;
    QString message; // one line for standard error; empty when all went out
};

struct MailRunInput
{
    QString parameterText; // the addresses, "," and the note file's name
    QString workDir;       // where the note, mail.log and outbox/ are
    QString storeName;     // the settings' file, for messages
    QDateTime now;         // the message's date
};

// Reads the settings and the note, sends what waits in the outbox (oldest first, each one sent
// removed; after a failure of the server the rest wait), then the note's message; a message
// that is not sent is kept in the outbox. Every attempt and its outcome goes to mail.log.
MailRunResult runMail(const MailRunInput& input, const RegistryStore& store, Sender& sender);
