#include "common/test_support.h"
#include "core/store_lock.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <QDir>
#include <QMap>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace iomira {
namespace {

using test::AsOrdinaryUser;
using test::fileMode;
using test::readFile;
using test::runSqlite;
using test::writeFile;

// Every entry of a folder with its mode and contents.
QMap<QString, QString> folderState(const QString& folder) {
    QMap<QString, QString> state;
    for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                      QDir::Hidden | QDir::System)) {
        const QString path = folder + '/' + name;
        state[name] = QString::number(fileMode(path), 8) + ' ' +
                      QString::fromLatin1(readFile(path).toHex().left(64));
    }
    return state;
}

// Sets the process umask for a test and puts the old one back.
struct Umask {
    explicit Umask(mode_t mask) : saved(::umask(mask)) {}
    ~Umask() { ::umask(saved); }
    mode_t saved;
};

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
        {"unreadable store",
         [](const QString& p) {
             test::TempStore source;
             source.store.reset();
             QFile::copy(source.path, p);
             ::chmod(QFile::encodeName(p).constData(), 0);
         },
         6004},
        {"store that cannot be written",
         [](const QString& p) {
             test::TempStore source;
             source.store.reset();
             QFile::copy(source.path, p);
             ::chmod(QFile::encodeName(p).constData(), 0444);
         },
         6004},
    };
    Umask umask(022);
    for (const UnusableCase& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("store.sqlite");
        c.make(path);
        AsOrdinaryUser::hand(dir.path());
        AsOrdinaryUser::hand(path);
        const QMap<QString, QString> before = folderState(dir.path());
        StoreOpenError error;
        {
            AsOrdinaryUser ordinary;
            EXPECT_EQ(SqliteStore::open(path, &error), nullptr) << c.name;
        }
        EXPECT_EQ(error.path, path) << c.name;
        EXPECT_EQ(error.reason, loadString(c.reasonText)) << c.name;
        EXPECT_EQ(folderState(dir.path()), before) << c.name;
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
    StoreOpenError error;
    auto store = SqliteStore::open(path, &error);
    ASSERT_TRUE(store) << error.reason.toStdString();
    KeyValues values;
    ASSERT_TRUE(store->readKey("GLOBAL", values));
    EXPECT_EQ(values.dword("language", 0), 3);
}

void expectPrivateFiles(const QStringList& files, const char* when) {
    for (const QString& file : files)
        EXPECT_EQ(fileMode(file), 0600) << when << ": " << file.toStdString();
}

TEST(StoreFiles, EveryFileOfTheStoreIsPrivateFromItsCreation) {
    Umask umask(022);
    QTemporaryDir dir;
    const QString path = dir.filePath("store.sqlite");
    {
        auto store = SqliteStore::open(path, nullptr);
        ASSERT_TRUE(store);
        QString reason;
        auto lock = StoreLock::acquire(path, &reason);
        ASSERT_TRUE(lock) << reason.toStdString();
        ASSERT_TRUE(store->writeValue("GLOBAL", StoreValue::dwordValue("LANGUAGE", 1)));
        expectPrivateFiles({path, path + "-wal", path + "-shm", path + ".lock"}, "new store");
        EXPECT_EQ(fileMode(path + "-journal"), -1);
    }
    // Opened up for others by hand, with a side file another program left behind: all of
    // them are private again before the store is read, and the side files made later too.
    runSqlite(path, "PRAGMA journal_mode=WAL;\n");
    for (const QString& file : {path, path + ".lock"})
        ::chmod(QFile::encodeName(file).constData(), 0644);
    writeFile(path + "-journal", {});
    ::chmod(QFile::encodeName(path + "-journal").constData(), 0644);
    auto store = SqliteStore::open(path, nullptr);
    ASSERT_TRUE(store);
    QString reason;
    auto lock = StoreLock::acquire(path, &reason);
    ASSERT_TRUE(lock) << reason.toStdString();
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(store->writeValue(QStringLiteral("ID_%1").arg(i),
                                      StoreValue::textValue("DeviceComment", QString(500, 'c'))));
    expectPrivateFiles({path, path + "-wal", path + "-shm", path + "-journal", path + ".lock"},
                       "store found with mode 0644");
}

TEST(StoreFiles, AFolderThatCannotBeWrittenIsNamedAndLeftAsItWas) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("locked");
    const QString existing = folder + "/store.sqlite";
    QDir().mkpath(folder);
    {
        auto store = SqliteStore::open(existing, nullptr);
        ASSERT_TRUE(store);
    }
    AsOrdinaryUser::hand(existing);
    ::chmod(QFile::encodeName(folder).constData(), 0555);
    const QMap<QString, QString> before = folderState(folder);
    for (const QString& path : {existing, folder + "/new.sqlite"}) {
        StoreOpenError error;
        {
            AsOrdinaryUser ordinary;
            EXPECT_EQ(SqliteStore::open(path, &error), nullptr) << path.toStdString();
        }
        EXPECT_EQ(error.reason, loadString(TEXT_STORE_FOLDER_NOT_WRITABLE).replace("%s", folder));
        EXPECT_EQ(folderState(folder), before) << path.toStdString();
        EXPECT_TRUE(storeOpenMessage(error).contains(folder + " "));
    }
    ::chmod(QFile::encodeName(folder).constData(), 0755);
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
