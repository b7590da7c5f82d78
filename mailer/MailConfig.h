// SPDX-License-Identifier: MIT
#pragma once
// The mail program's settings, in the program's store under Software/Nudgeon/Mail.

#include <QString>
#include <optional>

class RegistryStore;

struct MailConfig
{
    QString server; // "smtp://host:port" or "smtps://host:port"
    QString from;   // the sender's plain address
    QString user;   // the login name; empty when the server needs none or ~/.netrc names it
    // For smtp:// only (smtps:// is TLS from the start): the connection must turn to TLS with
    // STARTTLS before anything else is sent, or nothing is sent.
    bool startTls = true;
    // The longest the server may keep the program waiting at any one step: the connection, each
    // answer, or a message that stops moving.
    int timeout = 60;
};

struct MailConfigResult
{
    std::optional<MailConfig> config;
    QString error; // what is missing or wrong, and where to set it; empty with a config
};

// The key of the mail settings in the store.
extern const QString mailConfigKey;

// Reads Server, From, User, StartTLS and Timeout. Server must be an smtp:// or smtps:// address
// with a host and a port, and without a login or password in it (refused without repeating it,
// so that a password put there is never written anywhere); From a plain address; Timeout whole
// seconds from 1 to 3600, 60 when not set. StartTLS is
// a boolean (readBoolean) and on when not set; for smtp:// it may be off only for a server on this machine (a
// loopback address or "localhost"), so that no mail or login crosses a network unencrypted.
// storeName names the store (the INI file) in the error messages.
MailConfigResult readMailConfig(const RegistryStore& store, const QString& storeName);

// true/false, yes/no, on/off or 1/0 in any letter case; nothing for any other text.
std::optional<bool> readBoolean(const QString& text);

// The host is 127.0.0.0/8, ::1 or localhost.
bool isLoopbackHost(const QString& host);
