#include "IniRegistryStore.h"

#include <QDir>
#include <QFile>
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
