// SPDX-License-Identifier: MIT
#include "mailer/MailRun.h"

#include "mailer/MailRequest.h"
#include "mailer/Outbox.h"
#include "schedule/NoteFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace {

QString addressesText(const QStringList& addresses)
{
    return addresses.join(QStringLiteral(", "));
}

class Run
{
public:
    Run(const MailRunInput& input, Sender& sender) : sender(sender), log(input.workDir), outbox(input.workDir)
    {}

    void note(const QString& text) { logWorks = log.append(text) && logWorks; }

    // Logs the outcome and gives it back with a line for standard error.
    MailRunResult finish(int code, const QString& outcome)
    {
        note(outcome);
        QString message = code == MailSent ? QString() : outcome;
        if (!logWorks)
            message = (message.isEmpty() ? QStringLiteral("sent") : message) +
                      QStringLiteral(" (cannot write %1)").arg(log.path());
        return {code, printable(message)};
    }

    // Sends what waits in the outbox; false when the server failed and the rest were left.
    bool sendOutbox(const MailConfig& config, SendResult* serverFailure)
    {
        const QString lockPath = QDir(outbox.folder()).filePath(QStringLiteral(".lock"));
        if (!QFileInfo::exists(outbox.folder()))
            return true;
        QLockFile lock(lockPath);
        lock.setStaleLockTime(0);
        // Another copy that sends the outbox now would send the same messages again.
        if (!lock.tryLock(0)) {
            if (lock.error() == QLockFile::LockFailedError) {
                note(QStringLiteral("outbox: another copy of the mail program sends it now; left to it"));
                return true;
            }
            note(QStringLiteral("outbox: cannot lock it (%1); sent all the same").arg(lockPath));
        }
        for (const QString& path : outbox.waiting()) {
            const QString name = QStringLiteral("outbox/") + QFileInfo(path).fileName();
            const std::optional<QByteArray> message = Outbox::read(path);
            const Envelope envelope = message ? envelopeOf(*message) : Envelope{};
            if (!message || envelope.from.isEmpty() || envelope.to.isEmpty()) {
                note(
                    QStringLiteral("not sent %1: cannot read its sender and recipients; it stays").arg(name));
                continue;
            }
            const SendResult r = sender.send(config, envelope, *message);
            if (r.sent) {
                if (outbox.remove(path))
                    note(QStringLiteral("sent %1 to %2").arg(name, addressesText(envelope.to)));
                else
                    note(QStringLiteral("sent %1 to %2, but cannot remove it: it will go out again")
                             .arg(name, addressesText(envelope.to)));
                continue;
            }
            note(QStringLiteral("not sent %1 to %2: %3; it stays")
                     .arg(name, addressesText(envelope.to), r.error));
            if (r.serverFailed) {
                *serverFailure = r;
                return false;
            }
        }
        return true;
    }

    Sender& sender;
    MailLog log;
    Outbox outbox;
    bool logWorks = true;
};

} // namespace

MailRunResult runMail(const MailRunInput& input, const RegistryStore& store, Sender& sender)
{
    Run run(input, sender);

    const MailRequest request = parseParameterText(input.parameterText);
    for (const QString& a : request.skipped)
        run.note(QStringLiteral("skipped invalid address \"%1\"").arg(a));
    if (!request.error.isEmpty())
        return run.finish(MailRefused, QStringLiteral("not sent: ") + request.error);

    const MailConfigResult settings = readMailConfig(store, input.storeName);
    if (!settings.config)
        return run.finish(MailNotSet,
                          QStringLiteral("not sent %1: %2").arg(request.noteFile, settings.error));
    const MailConfig& config = *settings.config;

    const QString notePath = QDir(input.workDir).filePath(request.noteFile);
    QString problem;
    const std::optional<QString> note = readNoteFile(notePath, &problem);
    if (!note)
        return run.finish(
            MailRefused, QStringLiteral("not sent: cannot read the note file %1: %2").arg(notePath, problem));

    MailMessage m;
    m.from = config.from;
    m.to = request.addresses;
    m.subject = subjectFor(*note);
    m.body = *note;
    m.date = input.now;
    m.messageId = newMessageId(domainOf(config.from));
    const QByteArray message = composeMessage(m);
    const QString what =
        QStringLiteral("%1 %2 to %3").arg(request.noteFile, m.messageId, addressesText(m.to));

    SendResult result;
    QString failure;
    if (run.sendOutbox(config, &result)) {
        result = sender.send(config, Envelope{config.from, request.addresses}, message);
        if (result.sent)
            return run.finish(MailSent, QStringLiteral("sent ") + what);
        failure = result.error;
    } else {
        failure = QStringLiteral("not tried, as the server failed: ") + result.error;
    }

    QString error;
    const QString kept = run.outbox.store(message, &error);
    if (kept.isEmpty())
        return run.finish(MailLost, QStringLiteral("not sent %1: %2; LOST: cannot keep it in the outbox: %3")
                                        .arg(what, failure, error));
    return run.finish(
        MailKept,
        QStringLiteral("not sent %1: %2; kept as outbox/%3").arg(what, failure, QFileInfo(kept).fileName()));
}
