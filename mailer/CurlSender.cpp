// SPDX-License-Identifier: MIT
#include "mailer/CurlSender.h"

#include <QUrl>

#include <curl/curl.h>

#include <cstring>
#include <memory>

namespace {

// The message handed to libcurl piece by piece.
struct Upload
{
    const QByteArray* data;
    qsizetype offset = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* userdata)
{
    auto* upload = static_cast<Upload*>(userdata);
    const size_t room = size * count;
    const size_t left = static_cast<size_t>(upload->data->size() - upload->offset);
    const size_t n = left < room ? left : room;
    std::memcpy(buffer, upload->data->constData() + upload->offset, n);
    upload->offset += static_cast<qsizetype>(n);
    return n;
}

// What libcurl's trace shows of the conversation: the server's first refusal (an answer of
// 400 or more), whose text tells why, and the command it answered.
struct Conversation
{
    QByteArray lastCommand;
    QByteArray refusedCommand;
    QByteArray refusal;
};

QByteArray firstLine(const char* data, size_t size)
{
    QByteArray line(data, static_cast<qsizetype>(size));
    const int end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    return line.trimmed();
}

int trace(CURL*, curl_infotype type, char* data, size_t size, void* userdata)
{
    auto* c = static_cast<Conversation*>(userdata);
    if (type == CURLINFO_HEADER_IN) {
        const QByteArray line = firstLine(data, size);
        if (c->refusal.isEmpty() && line.size() >= 3 && line.left(3).toInt() >= 400) {
            c->refusal = line;
            c->refusedCommand = c->lastCommand;
        }
    } else if (type == CURLINFO_HEADER_OUT) {
        // Only the command's name: an AUTH line carries the login.
        c->lastCommand = firstLine(data, size).split(' ').value(0).toUpper();
    }
    return 0;
}

struct CurlDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

struct ListDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

QByteArray angled(const QString& address)
{
    return '<' + address.toLatin1() + '>';
}

} // namespace

long CurlSender::conversationLimit(int timeout, qsizetype messageSize)
{
    return 3L * timeout + static_cast<long>(messageSize / minimumRate);
}

SendResult CurlSender::send(const MailConfig& config, const Envelope& envelope, const QByteArray& message)
{
    SendResult result;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        result.serverFailed = true;
        result.error = QStringLiteral("libcurl cannot start");
        return result;
    }
    std::unique_ptr<curl_slist, ListDeleter> recipients;
    for (const QString& to : envelope.to) {
        curl_slist* grown = curl_slist_append(recipients.get(), angled(to).constData());
        if (!grown) {
            result.serverFailed = true;
            result.error = QStringLiteral("out of memory");
            return result;
        }
        recipients.release();
        recipients.reset(grown);
    }

    // The login goes into the address rather than CURLOPT_USERNAME: libcurl looks the password up
    // in ~/.netrc for a user named in the address, but not for one set by that option.
    QUrl address(config.server);
    if (!config.user.isEmpty())
        address.setUserName(config.user, QUrl::DecodedMode);
    const QByteArray url = address.toEncoded();
    const QByteArray from = angled(envelope.from);
    Upload upload{&message};
    Conversation conversation;
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();

    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    curl_easy_setopt(c, CURLOPT_USE_SSL, config.startTls ? long(CURLUSESSL_ALL) : long(CURLUSESSL_NONE));
    curl_easy_setopt(c, CURLOPT_NETRC, long(CURL_NETRC_OPTIONAL));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(config.timeout));
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(config.timeout));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, minimumRate);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(config.timeout));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, conversationLimit(config.timeout, message.size()));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, trace);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &conversation);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);

    const CURLcode code = curl_easy_perform(c);
    if (code == CURLE_OK) {
        result.sent = true;
        return result;
    }
    result.error = QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(code));
    if (!conversation.refusal.isEmpty())
        result.error += QStringLiteral(" (server: %1)").arg(QString::fromUtf8(conversation.refusal));
    // A refused recipient or a refused message is this message's failure; anything before them
    // (the connection, TLS, the login, the sender) fails every message alike.
    const QByteArray& command = conversation.refusedCommand;
    result.serverFailed = !(command == "RCPT" || command == "DATA");
    return result;
}
