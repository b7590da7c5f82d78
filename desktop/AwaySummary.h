// SPDX-License-Identifier: MIT
#pragma once

#include "engine/DueEntry.h"
#include "engine/Firing.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class AwayWindow;
class Notifications;

// Tells once, after the computer slept past its entries, what it missed: one desktop
// notification, or a small window where no server runs or it shows no buttons, listing each
// occurrence of the last day with its time, each missed note with a way to open it.
class AwaySummary : public QObject
{
    Q_OBJECT

public:
    using NoteOpener = std::function<void(const DueEntry&)>;

    // The most occurrences listed; the rest are counted.
    static constexpr int MaxListed = 8;
    // Only what fell due this many hours before the gap ended is listed.
    static constexpr int ListedHours = 24;

    struct Item
    {
        QString text;
        DueEntry occurrence;
        // A note that was not shown: it can be opened.
        bool note = false;
    };
    struct Listing
    {
        QList<Item> items;
        int more = 0;
    };

    AwaySummary(Notifications& notifications, NoteOpener openNote, QObject* parent = nullptr);
    ~AwaySummary() override;

    // Tells of the occurrences a gap that ended at now passed over (as the engine hands them).
    void tell(const QList<DueEntry>& occurrences, const QDateTime& now);
    // The window of the last summary told without a notification; null when there is none.
    AwayWindow* window() const;

    // What the summary lists: the missed notes, then the rest, each in time order.
    static Listing listing(const QList<DueEntry>& occurrences, const QDateTime& now);
    // The notification's text: one line per item, and how many more there are.
    static QString bodyOf(const Listing& listing);
    // The history's lines of the occurrences a gap that ended at now passed over: one each for
    // the last day's, and one for each entry's earlier ones, so that a long gap does not push
    // the rest of the history out. A note shown late is not among them: the history has it as
    // shown.
    static QList<Firing> firingsOf(const QList<DueEntry>& occurrences, const QDateTime& now);

private:
    Notifications& notifications;
    NoteOpener openNote;
    quint32 noticeId = 0;
    QPointer<AwayWindow> shownWindow;
};
