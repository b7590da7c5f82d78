// SPDX-License-Identifier: MIT
#include "desktop/AboutDialog.h"
#include "desktop/MakerLinks.h"
#include "desktop/TrayIcon.h"
#include "tests/support/EngineTest.h"
#include "tests/support/FormChecks.h"
#include "ui_AboutDialog.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Closes the modal box that is open once the event loop runs, and fails after a while if none is.
class ModalWatch
{
public:
    explicit ModalWatch(std::function<void(QWidget*)> whileOpen)
    {
        QTimer::singleShot(0, [this, whileOpen] {
            QWidget* modal = QApplication::activeModalWidget();
            seen = modal != nullptr;
            if (modal) {
                whileOpen(modal);
                modal->close();
            }
        });
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        watchdog.start(5000);
    }
    bool seen = false;
    QTimer watchdog;
};

QStringList captions(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* a : menu->actions()) {
        if (a->isVisible())
            texts.append(a->text());
    }
    return texts;
}

} // namespace

TEST(MakerLinks, EveryLinkGoesThroughTheLauncherWithItsTarget)
{
    QTemporaryDir pgm;
    QTemporaryDir shared;
    FakeLauncher launcher;
    MakerLinks links(launcher, {pgm.path() + "/", shared.path() + "/"});
    links.openHelp();
    links.openWebPage();
    links.writeEmail();
    EXPECT_EQ(launcher.launches,
              QStringList({"helpndg.html||" + pgm.path() + "/", "https://nudgeon.example/||",
                           "mailto:help@nudgeon.example||"}));

    // An installed program's help page is where the install put it, not in the data folder.
    QFile page(shared.filePath("helpndg.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    links.openHelp();
    EXPECT_EQ(launcher.launches.last(), "helpndg.html||" + shared.path() + "/");
}

TEST(AboutBox, GrowsWholeForALargerFont)
{
    const QFont desktopFont = QApplication::font();
    QFont font = desktopFont;
    font.setPointSizeF(desktopFont.pointSizeF() * 1.75);
    QApplication::setFont(font);
    {
        AboutDialog box;
        FormChecks::expectShownWhole(box, "about, large font");
    }
    QApplication::setFont(desktopFont);
}

TEST(AboutBox, ShowsTheNameVersionAndTheMakersLinks)
{
    int visits = 0;
    int mails = 0;
    AboutDialog box;
    QObject::connect(&box, &AboutDialog::webPageClicked, [&] { ++visits; });
    QObject::connect(&box, &AboutDialog::emailClicked, [&] { ++mails; });
    Ui::AboutDialog& ui = *box.form();
    EXPECT_EQ(box.windowTitle(), "About Nudgeon");
    EXPECT_EQ(ui.productNameLabel->text(), "Nudgeon");
    EXPECT_EQ(ui.versionLabel->text(), "Version 2.2b (Win 95/NT)");
    EXPECT_EQ(ui.emailLabel->text(), "mailto:" + MakerLinks::emailAddress);
    EXPECT_EQ(ui.emailLabel->toolTip(), "Send us e-mail");
    EXPECT_EQ(ui.webBanner->toolTip(), "Click for the latest version from our Web");
    EXPECT_EQ(ui.okButton->toolTip(), "Check " + QUrl(MakerLinks::webPage).host() + " for updated version");
    EXPECT_EQ(ui.okButton->text(), "OK");
    EXPECT_FALSE(ui.webBanner->pixmap().isNull());
    FormChecks::expectNamedControls(box);
    // Opens at its design size and shows every part whole, the small-print address clear of the
    // version beside it.
    FormChecks::expectShownWhole(box, "about");
    EXPECT_NEAR(box.width(), 298, 3);
    EXPECT_NEAR(box.height(), 188, 3);

    for (QLabel* target : {ui.webBanner, ui.emailLabel}) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
    EXPECT_EQ(visits, 1);
    EXPECT_EQ(mails, 1);
}

TEST(AboutBox, ClicksInTheBoxLaunchWhatTheMenuLaunches)
{
    QTemporaryDir pgm;
    FakeLauncher launcher;
    MakerLinks links(launcher, {pgm.path() + "/"});
    ModalWatch watch([](QWidget* box) {
        auto* about = qobject_cast<AboutDialog*>(box);
        ASSERT_NE(about, nullptr);
        emit about->webPageClicked();
        emit about->emailClicked();
    });
    links.showAbout();
    EXPECT_TRUE(watch.seen);
    links.openWebPage();
    links.writeEmail();
    ASSERT_EQ(launcher.launches.size(), 4);
    EXPECT_EQ(launcher.launches[0], launcher.launches[2]);
    EXPECT_EQ(launcher.launches[1], launcher.launches[3]);
}

class TrayTest : public EngineTest
{};

TEST_F(TrayTest, TheMenuOpensTheSetupDialogInItsModeAndClosesTheProgram)
{
    haveSettings("0,0");
    writeCfg(" 09:30 AM    ,,0,\r\n");
    start();
    FakeLauncher launcher;
    MakerLinks links(launcher, {dir.path() + "/"});
    TrayIcon trayIcon(links);
    EXPECT_EQ(captions(trayIcon.menu()), QStringList({"&New", "&Setup", "&History...", "&Help", "&Close"}));
    EXPECT_EQ(captions(trayIcon.helpMenu()), QStringList({"&Contents", "&Web page", "&E-mail us", "&About"}));
    // Where no tip shows, the menu's first line tells what is due next, and cannot be chosen.
    trayIcon.showNext(form->nextText());
    EXPECT_EQ(captions(trayIcon.menu()).value(0), "Next: 9:30 AM, 30min");
    EXPECT_FALSE(trayIcon.nextItem()->isEnabled());

    QList<bool> opened;
    trayIcon.setSetupOpener([&](bool newEntriesOnly) { opened.append(newEntriesOnly); });
    trayIcon.newItem()->trigger();
    trayIcon.setupItem()->trigger();
    trayIcon.openSetup(false);
    EXPECT_EQ(opened, QList<bool>({true, false, false}));

    trayIcon.helpMenu()->actions().at(0)->trigger();
    EXPECT_EQ(launcher.launches, QStringList({"helpndg.html||" + dir.path() + "/"}));

    QObject::connect(trayIcon.closeItem(), &QAction::triggered, form.get(), &Scheduler::closeDown);
    trayIcon.closeItem()->trigger();
    EXPECT_TRUE(form->isClosed());
}

TEST_F(TrayTest, ATipIsCutTo63Characters)
{
    haveSettings("0,0");
    writeCfg("");
    start();
    FakeLauncher launcher;
    MakerLinks links(launcher, {dir.path() + "/"});
    TrayIcon trayIcon(links);
    trayIcon.add(QString(80, 'x'));
    EXPECT_EQ(trayIcon.icon()->toolTip(), QString(63, 'x'));
    trayIcon.modify("Nudgeon:  5min");
    EXPECT_EQ(trayIcon.icon()->toolTip(), "Nudgeon:  5min");
    trayIcon.remove();
    trayIcon.remove();
    EXPECT_FALSE(trayIcon.icon()->isVisible());
}

TEST_F(TrayTest, WithoutATrayHostTheIconIsMadeOnlyWhenOneAppearsAndThenCarriesTheLatestTip)
{
    haveSettings("0,0");
    writeCfg("");
    start();
    FakeLauncher launcher;
    MakerLinks links(launcher, {dir.path() + "/"});
    TrayIcon trayIcon(links, false);
    trayIcon.add("Nudgeon: 2hr");
    trayIcon.modify("Nudgeon: 1hr");
    EXPECT_EQ(trayIcon.icon(), nullptr);
    trayIcon.hostAppeared();
    ASSERT_NE(trayIcon.icon(), nullptr);
    EXPECT_EQ(trayIcon.icon()->toolTip(), "Nudgeon: 1hr");
    EXPECT_TRUE(trayIcon.icon()->isVisible());
}
