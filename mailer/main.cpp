// SPDX-License-Identifier: MIT
// The mail program of Nudgeon: sends a note by mail when a note entry whose program is
// DARIZIZ.EXE falls due. Nudgeon starts it in its program folder with one parameter text, the
// addresses, "," and the note file's name, e.g. "ann@example.org;bob@example.org,1260930.txt".

#include "mailer/CurlSender.h"
#include "mailer/MailRequest.h"
#include "mailer/MailRun.h"
#include "platform/IniRegistryStore.h"

#include <QCoreApplication>
#include <QDir>

#include <curl/curl.h>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fputs("usage: DARIZIZ.EXE address[;address...],notefile.txt\n", stderr);
        return MailRefused;
    }
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        std::fputs("DARIZIZ.EXE: not sent: libcurl cannot start\n", stderr);
        return MailKept;
    }

    IniRegistryStore store;
    store.tellProblems([](const QString& message) {
        const QString text = QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '));
        std::fprintf(stderr, "DARIZIZ.EXE: %s\n", text.toLocal8Bit().constData());
    });
    CurlSender sender;
    MailRunInput input;
    input.parameterText = joinArguments(arguments);
    input.workDir = QDir::currentPath();
    input.storeName = IniRegistryStore::configHome() + QStringLiteral("/Nudgeon/registry.ini");
    input.now = QDateTime::currentDateTime();
    const MailRunResult result = runMail(input, store, sender);
    curl_global_cleanup();

    if (!result.message.isEmpty())
        std::fprintf(stderr, "DARIZIZ.EXE: %s\n", result.message.toLocal8Bit().constData());
    return result.exitCode;
}
