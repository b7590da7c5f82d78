// SPDX-License-Identifier: MIT
#include "actions/NotePlacement.h"
#include "actions/NoteView.h"
#include "desktop/NoTrayNotice.h"
#include "desktop/NoteNotifier.h"
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace {

// Records each note it shows; the notifier's notification is still up while it shows.
class RecordingNoteView : public NoteView
{
public:
    explicit RecordingNoteView(FakeNotifications& server) : server(server) {}
    void showNote(const QString& text, const QString& path, const QString& timeText, const QString&) override
    {
        shown.append(text + "|" + path + "|" + timeText);
        withdrawnWhileShown = server.withdrawn.size();
    }
    FakeNotifications& server;
    QStringList shown;
    qsizetype withdrawnWhileShown = -1;
};

struct NotifyCase
{
    const char* name;
    std::optional<QString> setting;
    bool serverRunning;
    bool notified;
};

void PrintTo(const NotifyCase& c, std::ostream* os)
{
    *os << c.name;
}

class NoteNotifierCases : public testing::TestWithParam<NotifyCase>
{};

} // namespace

TEST_P(NoteNotifierCases, TheNoteWindowAlwaysShowsAndTheNotificationOnlyWhenWantedAndPossible)
{
    const NotifyCase c = GetParam();
    FakeNotifications server;
    server.running = c.serverRunning;
    MemoryStore store;
    if (c.setting)
        store.writeString(NoteNotifier::settingsKey, NoteNotifier::notifyValue, *c.setting);
    RecordingNoteView window(server);
    NoteNotifier notifier(window, server, store, {});
    notifier.showNote("Call Ann\r\n", "/pgm/1200900.txt", " 10:01 PM", "line");
    // Another note closing leaves this one's notification up.
    notifier.noteClosed("/pgm/1200900.txt", "another line");
    notifier.noteClosed("/pgm/1200900.txt", "line");
    EXPECT_EQ(window.shown, QStringList{"Call Ann\r\n|/pgm/1200900.txt| 10:01 PM"});
    ASSERT_EQ(server.shown.size(), c.notified ? 1 : 0);
    if (c.notified) {
        EXPECT_EQ(server.shown[0].title, "Nudgeon note at 10:01 PM");
        EXPECT_EQ(server.shown[0].body, "Call Ann");
        // Up while the note shows, gone with it.
        EXPECT_EQ(window.withdrawnWhileShown, 0);
        EXPECT_EQ(server.withdrawn, QList<quint32>{1});
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, NoteNotifierCases,
                         testing::Values(NotifyCase{"OnWhenNeverSet", std::nullopt, true, true},
                                         NotifyCase{"OnWhenSetTo1", QString("1"), true, true},
                                         NotifyCase{"OffWhenSetTo0", QString("0"), true, false},
                                         NotifyCase{"NoneWithoutAServer", std::nullopt, false, false}),
                         [](const testing::TestParamInfo<NotifyCase>& info) { return info.param.name; });

TEST(NoteNotifier, TheNoticeCarriesTheFirstLinesCutToLengthAndTheTwoButtons)
{
    const QString longLine(100, 'x');
    const Notice notice = NoteNotifier::noticeFor(
        "\r\n  Buy milk \r\n\r\n" + longLine + "\r\nthird\r\nfourth\r\nfifth", "09:30 AM ");
    EXPECT_EQ(notice.title, "Nudgeon note at 09:30 AM");
    EXPECT_EQ(notice.body, "Buy milk\n" + QString(79, 'x') + QChar(0x2026) + "\nthird" + QChar(0x2026));
    ASSERT_EQ(notice.actions.size(), 2);
    EXPECT_EQ(notice.actions[0].second, "Show");
    EXPECT_EQ(notice.actions[1].second, "Snooze 5 min");
}

TEST(NoteNotifier, TheButtonsShowOrSnoozeTheirOwnNote)
{
    FakeNotifications server;
    MemoryStore store;
    RecordingNoteView window(server);
    QStringList done;
    NoteNotifier notifier(window, server, store,
                          {[&](const QString& path) { done.append("show " + path); },
                           [&](const QString& path, const QString& line, int minutes) {
                               done.append("snooze " + path + " " + line + " " + QString::number(minutes));
                           }});
    notifier.showNote("a", "/pgm/1.txt", "09:30 AM", "a");
    notifier.showNote("b", "/pgm/2.txt", "09:31 AM", "b");
    server.choose(1, "snooze");
    server.choose(2, "show");
    server.choose(2, "unknown");
    EXPECT_EQ(done, QStringList({"snooze /pgm/1.txt a 5", "show /pgm/2.txt"}));
}

TEST(NoTrayNotice, ANotificationWhereAServerShowsOneElseTheSetupDialog)
{
    struct Case
    {
        bool running, refuse, setupOpened;
    };
    for (const Case c : {Case{true, false, false}, Case{false, false, true}, Case{true, true, true}}) {
        FakeNotifications server;
        server.running = c.running;
        server.refuse = c.refuse;
        int opened = 0;
        NoTrayNotice notice(server, [&] { ++opened; });
        notice.tell();
        EXPECT_EQ(opened, c.setupOpened ? 1 : 0) << c.running << c.refuse;
        // A tray that comes takes the notification away, once; a dialog opened stays open.
        notice.withdraw();
        notice.withdraw();
        EXPECT_EQ(server.withdrawn, c.setupOpened ? QList<quint32>{} : QList<quint32>{1});
        if (!c.setupOpened) {
            ASSERT_EQ(server.shown.size(), 1);
            EXPECT_TRUE(server.shown[0].body.contains("Start Nudgeon again"));
            // The notification's own button opens the dialog too.
            server.choose(1, "setup");
            EXPECT_EQ(opened, 1);
        }
    }
}

TEST(NotePlacement, ANoteIsCentredInTheFreeAreaClearOfPanels)
{
    struct Case
    {
        QRect available;
        QSize size;
        QPoint expected;
    };
    for (const Case& c : {Case{{0, 30, 1024, 738}, {143, 89}, {440, 354}},
                          Case{{1920, 0, 1280, 1000}, {143, 89}, {2488, 455}},
                          // Larger than the free area: the top left corner stays in it.
                          Case{{0, 30, 100, 50}, {143, 89}, {0, 30}}}) {
        EXPECT_EQ(NotePlacement::centred(c.available, c.size), c.expected);
    }
}
