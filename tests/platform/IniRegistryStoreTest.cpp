// SPDX-License-Identifier: MIT
#include "platform/IniRegistryStore.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString uninstallKey = "Software/Microsoft/Windows/CurrentVersion/Uninstall/Nudgeon";

struct StoreFolders
{
    QTemporaryDir dir;
    QString ini() const { return dir.filePath("config/Nudgeon/registry.ini"); }
    IniRegistryStore store() const { return IniRegistryStore(ini()); }
};

} // namespace

TEST(IniRegistryStore, ValuesRoundTripAndAKeyExistsWhileItHoldsValues)
{
    StoreFolders folders;
    IniRegistryStore store = folders.store();
    EXPECT_FALSE(store.keyExists(uninstallKey));
    EXPECT_FALSE(store.readString(uninstallKey, "Settings").has_value());

    ASSERT_TRUE(store.writeString(uninstallKey, "Settings", "1,A"));
    ASSERT_TRUE(store.writeString(uninstallKey, "UninstallString", "/opt/My Tools/nudgeon /uninstall"));
    EXPECT_TRUE(store.keyExists(uninstallKey));
    EXPECT_TRUE(store.keyExists("\\" + QString(uninstallKey).replace('/', '\\')));

    // A second store on the same file sees what the first wrote.
    IniRegistryStore again = folders.store();
    EXPECT_EQ(again.readString(uninstallKey, "Settings"), QString("1,A"));
    EXPECT_EQ(again.readString(uninstallKey, "UninstallString"), QString("/opt/My Tools/nudgeon /uninstall"));

    ASSERT_TRUE(again.deleteValue(uninstallKey, "Settings"));
    EXPECT_FALSE(again.readString(uninstallKey, "Settings").has_value());
    ASSERT_TRUE(again.deleteKey(uninstallKey));
    EXPECT_FALSE(folders.store().keyExists(uninstallKey));
    EXPECT_TRUE(QFile::exists(folders.ini()));
}

TEST(IniRegistryStore, AStoreEditedByHandIntoAnythingIsReadAndWrittenAgain)
{
    const QList<QByteArray> oddStores = {
        QByteArray("\x00\xff\xfe[\x01\x02=\n\r\n[[[]]]\n=\n", 17),
        "[Software/Microsoft/Windows/CurrentVersion/Uninstall/Nudgeon\nSettings=1,A\n",
        "[Software]\nMicrosoft\\Windows\\CurrentVersion\\Uninstall\\Nudgeon\\Settings=@Invalid()\n",
        "[Software/Microsoft/Windows/CurrentVersion/Uninstall/"
        "Nudgeon]\nSettings=\"unterminated\nSettings=2\n",
        QByteArray(200000, '['),
    };
    for (const QByteArray& bytes : oddStores) {
        StoreFolders folders;
        QDir().mkpath(folders.dir.filePath("config/Nudgeon"));
        QFile f(folders.ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();

        IniRegistryStore store = folders.store();
        // Whatever it reads, a value is text; and the store takes new values and keeps them.
        store.readString(uninstallKey, "Settings");
        store.keyExists(uninstallKey);
        ASSERT_TRUE(store.writeString(uninstallKey, "Settings", "1,0"))
            << bytes.left(40).toHex().toStdString();
        EXPECT_EQ(folders.store().readString(uninstallKey, "Settings"), QString("1,0"));
    }
}

TEST(IniRegistryStore, AStoreThatCannotBeParsedIsSetAsideWholeAndTheUserToldOnce)
{
    QByteArray everyByte;
    for (int round = 0; round < 4; ++round) {
        for (int b = 0; b < 256; ++b)
            everyByte.append(char(b));
    }
    struct Case
    {
        const char* what;
        QByteArray bytes;
        bool setAside;
    };
    const Case cases[] = {
        {"bytes 0-255 four times", everyByte, true},
        {"a section never closed",
         "[Software/Microsoft/Windows/CurrentVersion/Uninstall/Nudgeon\nSettings=1,A\n", true},
        {"a line without =", "[Software/Nudgeon/Mail]\nServer smtp://mail.example.org:587\n", true},
        {"200000 [", QByteArray(200000, '['), true},
        // QSettings reads these; they are the user's and stay.
        {"an unterminated quote", "[Software/Nudgeon/Mail]\nFrom=\"ann@example.org\nUser=ann\n", false},
        {"a good store", "[Software/Nudgeon/Mail]\nUser=ann\n", false},
    };
    const QRegularExpression asideName("^registry\\.ini\\.damaged-\\d{8}-\\d{6}$");
    for (const Case& c : cases) {
        StoreFolders folders;
        QDir().mkpath(folders.dir.filePath("config/Nudgeon"));
        QFile f(folders.ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();

        IniRegistryStore store = folders.store();
        // The first look at the store comes before anyone listens: the start-up reads it before
        // the icon is up.
        EXPECT_EQ(store.keyExists(uninstallKey), false) << c.what;
        QStringList told;
        store.tellProblems([&told](const QString& message) { told.append(message); });
        EXPECT_TRUE(store.writeString(uninstallKey, "Settings", "1,0")) << c.what;
        EXPECT_EQ(store.readString(uninstallKey, "Settings"), QString("1,0")) << c.what;

        const QStringList aside = QDir(folders.dir.filePath("config/Nudgeon")).entryList({"*.damaged-*"});
        if (c.setAside) {
            ASSERT_EQ(aside.size(), 1) << c.what;
            EXPECT_TRUE(asideName.match(aside.first()).hasMatch()) << aside.first().toStdString();
            const QString asidePath = folders.dir.filePath("config/Nudgeon/" + aside.first());
            EXPECT_EQ(told, QStringList{IniRegistryStore::setAsideMessage(asidePath)}) << c.what;
            QFile kept(asidePath);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), c.bytes) << c.what;
            EXPECT_TRUE(told.first().contains(asidePath));
        } else {
            EXPECT_TRUE(aside.isEmpty()) << c.what;
            EXPECT_TRUE(told.isEmpty()) << c.what;
            // What the user wrote is still there beside the new value.
            EXPECT_TRUE(store.keyExists("Software/Nudgeon/Mail")) << c.what;
        }
    }
}

TEST(IniRegistryStore, DeletingAKeyLeavesItsNeighbours)
{
    StoreFolders folders;
    IniRegistryStore store = folders.store();
    store.writeString(uninstallKey, "Settings", "0,0");
    store.writeString(uninstallKey + "/Mail", "Server", "smtp://mail.example.org:587");
    store.writeString("Software/Other", "Value", "kept");
    store.deleteKey(uninstallKey);
    EXPECT_FALSE(store.keyExists(uninstallKey));
    EXPECT_FALSE(store.readString(uninstallKey + "/Mail", "Server").has_value());
    EXPECT_EQ(store.readString("Software/Other", "Value"), QString("kept"));
}

TEST(IniRegistryStore, AnUnwritableStoreReportsFailure)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    StoreFolders folders;
    QDir().mkpath(folders.dir.filePath("config/Nudgeon"));
    QFile::setPermissions(folders.dir.filePath("config/Nudgeon"), QFile::ReadOwner | QFile::ExeOwner);
    IniRegistryStore store = folders.store();
    EXPECT_FALSE(store.writeString(uninstallKey, "Settings", "1,0"));
    QFile::setPermissions(folders.dir.filePath("config/Nudgeon"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(IniRegistryStore, AStoreFileInTheWayOfTheFolderReportsFailure)
{
    // Works as root too: a plain file where the store's folder should be.
    StoreFolders folders;
    QDir().mkpath(folders.dir.filePath("config"));
    QFile blocker(folders.dir.filePath("config/Nudgeon"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniRegistryStore store = folders.store();
    EXPECT_FALSE(store.writeString(uninstallKey, "Settings", "1,0"));
}
