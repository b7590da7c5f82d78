// SPDX-License-Identifier: MIT
#include "desktop/AwaySummary.h"

#include "desktop/AwayWindow.h"
#include "platform/Notifications.h"
#include "platform/ProgramPaths.h"
#include "schedule/EventLine.h"

namespace {

bool noteShownLate(const DueEntry& d)
{
    return d.late && d.entry.kind() == Entry::Kind::Note;
}

bool missedNote(const DueEntry& d)
{
    return !d.late && !d.entry.shownNote().isEmpty();
}

// What of the occurrence did not happen, in a word or two: its note, its program (alone when
// the note was shown late), or what it mails.
QString whatOf(const DueEntry& occurrence)
{
    const Entry& entry = occurrence.entry;
    if (occurrence.late)
        return namePart(entry.program());
    switch (entry.kind()) {
    case Entry::Kind::Note:
        return entry.noteName();
    case Entry::Kind::Mail:
        return AwaySummary::tr("%1 by mail").arg(entry.noteName());
    default:
        return entry.noteName().isEmpty()
                   ? namePart(entry.program())
                   : AwaySummary::tr("%1 and %2").arg(namePart(entry.program()), entry.noteName());
    }
}

} // namespace

AwaySummary::AwaySummary(Notifications& notifications, NoteOpener openNote, QObject* parent)
    : QObject(parent), notifications(notifications), openNote(std::move(openNote))
{}

AwaySummary::~AwaySummary()
{
    delete shownWindow;
}

AwayWindow* AwaySummary::window() const
{
    return shownWindow;
}

AwaySummary::Listing AwaySummary::listing(const QList<DueEntry>& occurrences, const QDateTime& now)
{
    const QDateTime since = now.addSecs(-ListedHours * 3600);
    QList<DueEntry> notes;
    QList<DueEntry> rest;
    for (const DueEntry& d : occurrences) {
        if (d.due <= since || d.due > now || noteShownLate(d))
            continue;
        (missedNote(d) ? notes : rest).append(d);
    }
    const auto byTime = [](const DueEntry& a, const DueEntry& b) {
        return a.due < b.due;
    };
    std::stable_sort(notes.begin(), notes.end(), byTime);
    std::stable_sort(rest.begin(), rest.end(), byTime);
    Listing listing;
    for (const DueEntry& d : notes + rest) {
        if (listing.items.size() == MaxListed) {
            ++listing.more;
            continue;
        }
        const QString time = composeTimeField(d.due.time()).trimmed();
        const QString when = d.due.date() < now.date() ? tr("yesterday %1").arg(time) : time;
        const QString what = whatOf(d);
        listing.items.append({missedNote(d) ? tr("%1: %2 (not shown)").arg(when, what)
                                            : tr("%1: %2 (not run)").arg(when, what),
                              d, missedNote(d)});
    }
    return listing;
}

QString AwaySummary::bodyOf(const Listing& listing)
{
    QStringList lines;
    for (const Item& item : listing.items)
        lines.append(item.text);
    if (listing.more)
        lines.append(tr("and %n more", nullptr, listing.more));
    return lines.join(QLatin1Char('\n'));
}

QList<Firing> AwaySummary::firingsOf(const QList<DueEntry>& occurrences, const QDateTime& now)
{
    const QDateTime since = now.addSecs(-ListedHours * 3600);
    QList<Firing> earlier;
    QList<int> earlierCounts;
    QList<Firing> lastDay;
    for (const DueEntry& d : occurrences) {
        if (noteShownLate(d))
            continue;
        Firing firing;
        firing.due = d.due;
        firing.line = d.entry.line();
        firing.outcome = missedNote(d) ? Firing::Outcome::Missed : Firing::Outcome::NotRunLate;
        if (d.due > since) {
            lastDay.append(firing);
            continue;
        }
        // The occurrences come in time order: an entry's line keeps its first, its count grows.
        const auto same = std::find_if(earlier.begin(), earlier.end(),
                                       [&](const Firing& f) { return f.line == firing.line; });
        if (same == earlier.end()) {
            earlier.append(firing);
            earlierCounts.append(1);
        } else {
            ++earlierCounts[same - earlier.begin()];
        }
    }
    for (qsizetype i = 0; i < earlier.size(); ++i) {
        if (earlierCounts[i] > 1)
            earlier[i].reason = tr("%n times from then on", nullptr, earlierCounts[i]);
    }
    return earlier + lastDay;
}

void AwaySummary::tell(const QList<DueEntry>& occurrences, const QDateTime& now)
{
    const Listing listed = listing(occurrences, now);
    if (listed.items.isEmpty())
        return;
    const bool notes =
        std::any_of(listed.items.begin(), listed.items.end(), [](const Item& item) { return item.note; });
    // The summary before is out of date.
    notifications.withdraw(noticeId);
    noticeId = 0;
    if (notifications.available() && (!notes || notifications.supportsActions())) {
        Notice notice{tr("While you were away"), bodyOf(listed), {}, notes};
        QList<DueEntry> openable;
        for (const Item& item : listed.items) {
            if (!item.note)
                continue;
            notice.actions.append(
                {QStringLiteral("note%1").arg(openable.size()), tr("Show %1").arg(item.text)});
            openable.append(item.occurrence);
        }
        noticeId = notifications.notify(notice, [this, openable](const QString& key) {
            const qsizetype index = key.startsWith(QLatin1String("note")) ? key.mid(4).toInt() : -1;
            if (index >= 0 && index < openable.size() && openNote)
                openNote(openable[index]);
        });
        if (noticeId != 0)
            return;
    }
    if (!shownWindow) {
        shownWindow = new AwayWindow(openNote);
        shownWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    shownWindow->showListing(listed.items, bodyOf({{}, listed.more}));
}
