#include "common/test_support.h"
#include "core/string_table.h"

#include <QDir>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::readFile;
using test::runSqlite;
using test::writeFile;

struct UnusableCase {
    const char* name;
    std::function<void(const QString& path)> make;
    int reasonText;
};

void makeDamagedStore(const QString& path) {
    {
        test::TempStore source;
        for (int i = 0; i < 400; ++i) {
            source.store->writeValue(QStringLiteral("ID_%1").arg(i),
                                     StoreValue::textValue("DeviceComment", QString(60, 'c')));
        }
        source.store.reset(); // the last connection folds the journal back into the file
        QFile::copy(source.path, path);
    }
    QByteArray bytes = readFile(path);
    ASSERT_GT(bytes.size(), 3 * 4096);
    for (int i = 0; i < 64; ++i)
        bytes[2 * 4096 + 8 + i] = char(0xA5); // inside a b-tree page
    writeFile(path, bytes);
}

TEST(StoreFiles, AFileThatCannotBeUsedIsRefusedWithAReasonAndLeftUntouched) {
    const UnusableCase cases[] = {
        {"text file", [](const QString& p) { writeFile(p, "LANGUAGE=1\nLOG_TCP=0\n"); }, 6002},
        {"damaged store", makeDamagedStore, 6003},
        {"other program's database",
         [](const QString& p) { runSqlite(p, "CREATE TABLE accounts(id, name);\n"); }, 6005},
        {"folder", [](const QString& p) { QDir().mkpath(p); }, 6006},
    };
    for (const UnusableCase& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("store.sqlite");
        c.make(path);
        const QByteArray before = readFile(path);
        StoreOpenError error;
        EXPECT_EQ(SqliteStore::open(path, &error), nullptr) << c.name;
        EXPECT_EQ(error.path, path) << c.name;
        EXPECT_EQ(error.reason, loadString(c.reasonText)) << c.name;
        EXPECT_EQ(readFile(path), before) << c.name;
        EXPECT_FALSE(QFile::exists(path + "-wal")) << c.name;
        const QString message = storeOpenMessage(error);
        EXPECT_TRUE(message.contains(path)) << c.name;
        EXPECT_TRUE(message.contains(error.reason)) << c.name;
    }
}

TEST(StoreFiles, StoreOfAnEarlierRunIsOpenedAgainWithItsData) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a/b/store.sqlite");
    {
        StoreOpenError error;
        auto store = SqliteStore::open(path, &error);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->writeValue("GLOBAL", StoreValue::dwordValue("LANGUAGE", 3)));
    }
    // A file someone opened up for others is made private again once it proved usable.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ReadOther);
    StoreOpenError error;
    auto store = SqliteStore::open(path, &error);
    ASSERT_TRUE(store) << error.reason.toStdString();
    KeyValues values;
    ASSERT_TRUE(store->readKey("GLOBAL", values));
    EXPECT_EQ(values.dword("language", 0), 3);
    EXPECT_EQ(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}

TEST(StoreFiles, DefaultPathComesFromTheEnvironment) {
    const QByteArray saved = qgetenv("IOMIRA_STORE");
    qputenv("IOMIRA_STORE", "/tmp/elsewhere/store.sqlite");
    EXPECT_EQ(defaultStorePath(), "/tmp/elsewhere/store.sqlite");
    qunsetenv("IOMIRA_STORE");
    EXPECT_EQ(defaultStorePath(), QDir::homePath() + "/.config/TarvexSystems/Iomira/store.sqlite");
    qputenv("IOMIRA_STORE", saved);
}

} // namespace
} // namespace iomira
