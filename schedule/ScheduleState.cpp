#include "ScheduleState.h"

ScheduleState::ScheduleState()
{
    reset();
}

void ScheduleState::reset()
{
    DefaultTime = QStringLiteral("4:30 PM");
    EventTime = DefaultTime;
    NextEvent = 1;
    EventCount = 0;
    ChimeOn = false;
    AutoStartOn = false;
    EventTimes.fill(-1);
    EventRepeat.fill(-1);
    EventList.clear();
    EventRep = 0;
    EventPgm.clear();
    EventParms.clear();
    WorkLine.clear();
}

QString ScheduleState::cfgFile() const
{
    return PgmDir + QStringLiteral("Nudgeon.cfg");
}

void thisEvent(ScheduleState& s, const QDate& today)
{
    const EventFields f = splitEventLine(cutText(s.WorkLine));
    s.EventTime = f.time.left(MaxTimeText);
    s.EventPgm = f.program;
    s.EventParms = f.parameters;
    s.WorkLine = f.repeat;
    s.EventRep = evaluateRepeat(f.repeat, today);
}

void updateAlarms(ScheduleState& s, const QStringList& items, const QDate& today)
{
    QStringList& list = s.EventList;
    const auto shiftDown = [&s](int from) {
        for (int k = from; k < MaxEvents; ++k) {
            s.EventTimes[static_cast<size_t>(k)] = s.EventTimes[static_cast<size_t>(k + 1)];
            s.EventRepeat[static_cast<size_t>(k)] = s.EventRepeat[static_cast<size_t>(k + 1)];
        }
        s.EventTimes[MaxEvents] = -1;
        s.EventRepeat[MaxEvents] = -1;
    };

    // First pass: carry the state of every line that survived to the line's new place.
    int i = 1;
    while (i <= s.EventCount) {
        const int j = findLine(items, list[i - 1]) + 1;
        if (j == 0) {
            list.removeAt(i - 1);
            shiftDown(i);
        } else if (j != i) {
            if (j <= MaxEvents) {
                s.EventTimes[static_cast<size_t>(j)] = s.EventTimes[static_cast<size_t>(i)];
                s.EventRepeat[static_cast<size_t>(j)] = s.EventRepeat[static_cast<size_t>(i)];
            }
            s.EventTimes[static_cast<size_t>(i)] = -1;
            s.EventRepeat[static_cast<size_t>(i)] = -1;
            list[i - 1].clear();
            if (j < i) {
                list.removeAt(i - 1);
            } else {
                while (list.size() < j)
                    list.append(QStringLiteral(" "));
            }
            list[j - 1] = items[j - 1];
            ++i;
        } else {
            ++i;
        }
        s.EventCount = static_cast<int>(list.size());
    }

    // Second pass: evaluate afresh every line whose text is new or whose place changed.
    for (int n = 1; n <= items.size(); ++n) {
        if (list.size() < n)
            list.append(QStringLiteral(" "));
        if (list[n - 1] != items[n - 1]) {
            s.WorkLine = cutText(items[n - 1]);
            if (s.WorkLine.isEmpty())
                break;
            thisEvent(s, today);
            list[n - 1] = items[n - 1];
            if (n <= MaxEvents) {
                s.EventTimes[static_cast<size_t>(n)] = timeValue(s.EventTime);
                s.EventRepeat[static_cast<size_t>(n)] = s.EventRep;
            }
        }
    }
    s.EventCount = static_cast<int>(list.size());
}
