// SPDX-License-Identifier: MIT
#pragma once
// Sends a message over SMTP with libcurl.

#include "mailer/MailRun.h"

// The login's password comes from ~/.netrc (a "machine" entry for the server's host); with no
// entry there, none is sent. On smtp:// with StartTLS on, nothing is sent unless the connection
// turns to TLS first. The server may keep it waiting config.timeout seconds at most for the
// connection, for each answer and while the message moves slower than minimumRate; the whole
// conversation ends after conversationLimit(). Call curl_global_init() before the first send.
class CurlSender : public Sender
{
public:
    SendResult send(const MailConfig& config, const Envelope& envelope, const QByteArray& message) override;

    // Bytes a second below which an upload counts as stalled.
    static constexpr long minimumRate = 1024;
    // Seconds for the whole conversation: a few steps of the timeout each, and the message at
    // the minimum rate.
    static long conversationLimit(int timeout, qsizetype messageSize);
};
