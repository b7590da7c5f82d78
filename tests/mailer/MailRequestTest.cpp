// SPDX-License-Identifier: MIT
// The parameter text: addresses, the note file's name, and what is refused.

#include "mailer/MailRequest.h"

#include "tests/support/Fakes.h"

#include <QProcess>
#include <gtest/gtest.h>

TEST(MailRequest, TakesTheAddressesAndTheNoteNameAfterTheLastComma)
{
    MailRequest r = parseParameterText(QStringLiteral("ann@example.org;bob@example.org,1260930.txt"));
    EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.addresses, (QStringList{"ann@example.org", "bob@example.org"}));
    EXPECT_EQ(r.noteFile, QStringLiteral("1260930.txt"));
    EXPECT_TRUE(r.skipped.isEmpty());

    // "," and ";" both separate; blanks around addresses and empty places are ignored; an
    // address given twice (in any letter case) goes once, in its first place.
    r = parseParameterText(QStringLiteral(" ann@example.org , bob@example.org;; Carl@example.org ;"
                                          "ANN@example.org\t,carl@example.org, 1260930.txt "));
    EXPECT_EQ(r.addresses, (QStringList{"ann@example.org", "bob@example.org", "Carl@example.org"}));
    EXPECT_EQ(r.noteFile, QStringLiteral("1260930.txt"));
    EXPECT_TRUE(r.skipped.isEmpty());
}

TEST(MailRequest, TheLaunchersSplitArgumentsJoinBackToTheSameRequest)
{
    // Nudgeon's launcher splits the parameter text at blanks; the program joins the pieces.
    for (const char* text : {"ann@example.org; bob@example.org,1260930.txt",
                             "ann@example.org ,  bob@example.org ;carl@example.org,  1260930.txt",
                             "ann@example.org,1260930.txt"}) {
        const QString t = QString::fromLatin1(text);
        const QStringList arguments = QProcess::splitCommand(t);
        ASSERT_GT(arguments.size(), 0) << text;
        const MailRequest joined = parseParameterText(joinArguments(arguments));
        const MailRequest whole = parseParameterText(t);
        EXPECT_TRUE(joined.error.isEmpty()) << text;
        EXPECT_EQ(joined.addresses, whole.addresses) << text;
        EXPECT_EQ(joined.noteFile, QStringLiteral("1260930.txt")) << text;
    }
}

TEST(MailRequest, RefusesNoteNamesThatAreNoBareFileName)
{
    for (const char* name : {"../1260930.txt", "/etc/passwd", "sub/1260930.txt", "..", "", "  ", "a..txt",
                             "note\n.txt", "note\x01.txt"}) {
        const MailRequest r =
            parseParameterText(QStringLiteral("ann@example.org,") + QString::fromLatin1(name));
        EXPECT_FALSE(r.error.isEmpty()) << "name: " << name;
        EXPECT_TRUE(r.noteFile.isEmpty()) << "name: " << name;
    }
    // Without a "," nothing names the note.
    EXPECT_FALSE(parseParameterText(QStringLiteral("ann@example.org")).error.isEmpty());
    EXPECT_FALSE(parseParameterText(QString()).error.isEmpty());
}

TEST(MailRequest, SkipsInvalidAddressesAndRefusesWhenNoneIsLeft)
{
    const QString injected = QStringLiteral("ann@example.org\r\nBcc: eve@example.org");
    MailRequest r = parseParameterText(injected + QStringLiteral(";bob@example.org,1260930.txt"));
    EXPECT_TRUE(r.error.isEmpty());
    EXPECT_EQ(r.addresses, QStringList{"bob@example.org"});
    EXPECT_EQ(r.skipped, QStringList{injected});

    // Only blanks around an address are dropped: a line break beside one makes it invalid.
    r = parseParameterText(
        QStringLiteral("ann@example.org\r\n;\nbob@example.org; carl@example.org\t,1260930.txt"));
    EXPECT_EQ(r.addresses, QStringList{"carl@example.org"});
    EXPECT_EQ(r.skipped, (QStringList{"ann@example.org\r\n", "\nbob@example.org"}));

    r = parseParameterText(QStringLiteral("Ann Smith;<eve@example.org>, ,1260930.txt"));
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_TRUE(r.addresses.isEmpty());
    EXPECT_EQ(r.skipped, (QStringList{"Ann Smith", "<eve@example.org>"}));

    EXPECT_FALSE(parseParameterText(QStringLiteral(",1260930.txt")).error.isEmpty());
}

TEST(MailRequest, PlainAddressForm)
{
    for (const char* a : {"ann@example.org", "a@b", "first.last+tag@mail.example.co.uk", "o'neil@example.org",
                          "x_y-z=1#@a-b.example", "root@localhost", "UPPER@EXAMPLE.ORG"}) {
        EXPECT_TRUE(isPlainAddress(QString::fromLatin1(a))) << a;
    }
    const QString longLocal = QString(65, QLatin1Char('a')) + QStringLiteral("@example.org");
    const QString longAll = QStringLiteral("a@") + QString(250, QLatin1Char('b')) + QStringLiteral(".org");
    for (const QString& a : {QStringLiteral(""),
                             QStringLiteral("ann"),
                             QStringLiteral("@example.org"),
                             QStringLiteral("ann@"),
                             QStringLiteral("ann@@example.org"),
                             QStringLiteral("a@b@example.org"),
                             QStringLiteral("ann smith@example.org"),
                             QStringLiteral("ann@exa mple.org"),
                             QStringLiteral("ann@example.org\r\n"),
                             QStringLiteral("ann@example.org\nBcc: eve@example.org"),
                             QStringLiteral("<ann@example.org>"),
                             QStringLiteral("ann@example.org>"),
                             QStringLiteral("\"ann\"@example.org"),
                             QStringLiteral(".ann@example.org"),
                             QStringLiteral("ann.@example.org"),
                             QStringLiteral("a..nn@example.org"),
                             QStringLiteral("ann@example..org"),
                             QStringLiteral("ann@.example.org"),
                             QStringLiteral("ann@example.org."),
                             QStringLiteral("ann@-example.org"),
                             QStringLiteral("ann@example-.org"),
                             QStringLiteral("ann@exa_mple.org"),
                             QStringLiteral("ann@[127.0.0.1]"),
                             QStringLiteral("jürgen@example.org"),
                             QStringLiteral("ann@exämple.org"),
                             QStringLiteral("a\\nn@example.org"),
                             QStringLiteral("ann@example.org\t"),
                             QStringLiteral("ann(x)@example.org"),
                             longLocal,
                             longAll}) {
        EXPECT_FALSE(isPlainAddress(a)) << printable(a).toStdString();
    }
}

TEST(MailRequest, PrintableShowsControlCharactersAsEscapes)
{
    EXPECT_EQ(printable(QStringLiteral("a\r\nb\tc\x01"
                                       "d\u2028e")),
              QStringLiteral("a\\r\\nb\\tc\\x01d\\x2028e"));
}
