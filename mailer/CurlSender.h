// SPDX-License-Identifier: MIT
#pragma once
// Sends a message over SMTP with libcurl.

#include "MailRun.h"

// The login's password comes from ~/.netrc (a "machine" entry for the server's host); with no
// entry there, none is sent. On smtp:// with StartTLS on, nothing is sent unless the connection
// turns to TLS first. Call curl_global_init() before the first send.
class CurlSender : public Sender
{
public:
    SendResult send(const MailConfig& config, const Envelope& envelope, const QByteArray& message) override;

    // Seconds to wait for a connection, and for each answer of the server.
    int connectTimeout = 20;
    int answerTimeout = 60;
};
