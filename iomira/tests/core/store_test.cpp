#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/global_settings.h"

#include <QFile>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace iomira {
namespace {

using test::runSqlite;
using test::TempStore;

TEST(SqliteStore, CreatesAMissingFileOwnerOnlyWithTheFixedSchema) {
    TempStore t;
    ASSERT_TRUE(t.store);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(t.path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const QString schema = runSqlite(t.path, "SELECT sql FROM sqlite_schema WHERE type='table' "
                                             "ORDER BY name;\n");
    EXPECT_EQ(schema,
              "CREATE TABLE keys (name TEXT PRIMARY KEY COLLATE NOCASE)\n"
              "CREATE TABLE vals (  key  TEXT NOT NULL COLLATE NOCASE REFERENCES keys(name) ON "
              "DELETE CASCADE,  name TEXT NOT NULL COLLATE NOCASE,  type INTEGER NOT NULL,  "
              "data,  PRIMARY KEY (key, name))\n");
    EXPECT_EQ(runSqlite(t.path, "PRAGMA journal_mode;\n"), "wal\n");
    // The journal beside it holds the same data, so it must be just as private.
    ASSERT_TRUE(t.store->writeValue("GLOBAL", StoreValue::dwordValue("LOG_TCP", 1)));
    ASSERT_EQ(::stat(QFile::encodeName(t.path + "-wal").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(SqliteStore, ValuesAreStoredWithRegistryTypesAndSeenAtOnceByAnotherProcess) {
    TempStore t;
    CQUORVISData r;
    r.DeviceId = 7;
    r.DeviceComment = QString::fromUtf8("보일러 %d");
    r.AIBgColor[0] = 0xFF000000u; // above INT32_MAX: stored as the DWORD's signed reading
    r.DeviceType = 1;
    ASSERT_TRUE(saveController(*t.store, r));
    ASSERT_TRUE(t.store->writeValue(
        "MA_ID_3", StoreValue::binaryValue("Password", QByteArray("\x01\x00\xff", 3))));
    // The store stays open: a second process must see every committed write immediately.
    const QString rows =
        runSqlite(t.path, "SELECT key, name, type, quote(data) FROM vals WHERE name IN "
                          "('DeviceId','DeviceComment','AI0BgColor','Password') ORDER BY name;\n");
    EXPECT_EQ(rows, QString::fromUtf8("ID_7|AI0BgColor|4|-16777216\n"
                                      "ID_7|DeviceComment|1|'보일러 %d'\n"
                                      "ID_7|DeviceId|4|7\n"
                                      "MA_ID_3|Password|3|X'0100FF'\n"));
    ASSERT_TRUE(setGlobal(*t.store, LOG_TCP, 0));
    EXPECT_EQ(runSqlite(t.path, "SELECT data FROM vals WHERE key='GLOBAL' AND name='LOG_TCP';\n"),
              "0\n");
}

TEST(SqliteStore, ACommittedWriteSurvivesTheWritersCrash) {
    QTemporaryDir dir;
    const QString path = dir.filePath("store.sqlite");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        StoreOpenError error;
        auto store = SqliteStore::open(path, &error);
        CQUORVISData r;
        r.DeviceId = 11;
        r.DeviceComment = "survivor";
        if (!store || !saveController(*store, r) || !setGlobal(*store, LANGUAGE, 2)) _exit(2);
        raise(SIGKILL); // no close, no checkpoint: the process just dies
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    StoreOpenError error;
    auto store = SqliteStore::open(path, &error);
    ASSERT_TRUE(store) << error.reason.toStdString();
    KeyValues values;
    ASSERT_TRUE(store->readKey(controllerKeyName(11), values));
    EXPECT_EQ(values.text("DeviceComment"), "survivor");
    EXPECT_EQ(getGlobal(*store, LANGUAGE), 2);
}

TEST(SqliteStore, ValuesWrittenByAnotherProgramAreReadWithoutRegardToCase) {
    TempStore t;
    runSqlite(t.path, "INSERT INTO keys VALUES('global');"
                      "INSERT INTO vals VALUES('global','log_input',4,0);"
                      "INSERT INTO vals VALUES('GLOBAL','Log_Output',4,4294967295);\n");
    EXPECT_EQ(getGlobal(*t.store, LOG_INPUT), 0);
    EXPECT_EQ(getGlobal(*t.store, LOG_OUTPUT), -1);
    EXPECT_EQ(getGlobal(*t.store, LOG_TCP), 1);
}

TEST(SqliteStore, ValuesOfTheWrongTypeReadAsDefaults) {
    TempStore t;
    runSqlite(t.path, "INSERT INTO keys VALUES('GLOBAL');"
                      "INSERT INTO vals VALUES('GLOBAL','LOG_TCP',1,'0');"     // text value
                      "INSERT INTO vals VALUES('GLOBAL','LOG_INPUT',4,'0');"   // text datum
                      "INSERT INTO vals VALUES('GLOBAL','LOG_OUTPUT',4,1e99);" // not integer
                      "INSERT INTO vals VALUES('GLOBAL','INPUT_NOTIFICATION',4,99999999999);"
                      "INSERT INTO vals VALUES('GLOBAL','USE_EMAIL_SCHEDULE',7,1);\n");
    GlobalSwitches s;
    ASSERT_TRUE(readGlobalSwitches(*t.store, s));
    EXPECT_EQ(s.logTcp, 1);
    EXPECT_EQ(s.logInput, 1);
    EXPECT_EQ(s.logOutput, 1);
    EXPECT_EQ(s.inputNotification, 1);
    EXPECT_EQ(s.useEmailSchedule, 0);
}

TEST(SqliteStore, KeysEnumerateInAscendingOrderWithoutRegardToCase) {
    TempStore t;
    for (const char* key : {"ROOT_ID_5", "id_3", "GLOBAL", "ID_12", "Sound_ID_2"}) {
        ASSERT_TRUE(t.store->writeValue(key, StoreValue::dwordValue("x", 1)));
    }
    std::vector<StoredKey> keys;
    ASSERT_TRUE(t.store->readAll(keys));
    QStringList names;
    for (const StoredKey& k : keys)
        names << k.name;
    EXPECT_EQ(names.join(','), "GLOBAL,ID_12,id_3,ROOT_ID_5,Sound_ID_2");
}

QString describe(const std::vector<StoredKey>& keys, const QStringList& valueNames) {
    QStringList out;
    for (const StoredKey& k : keys) {
        QStringList values;
        for (const QString& name : valueNames) {
            if (k.values.has(name, STORE_DWORD))
                values << name + '=' + QString::number(k.values.dword(name, 0));
        }
        out << k.name + '{' + values.join(',') + '}';
    }
    return out.join(' ');
}

// Rows as other programs and many later saves leave them: a key's values scattered among
// others', named in another case than the key row, values without a key row, a key without
// values. Each key gets exactly its own values, in the file's order of keys.
TEST(SqliteStore, EveryKeyGetsItsOwnValuesHoweverTheRowsLie) {
    TempStore t;
    runSqlite(t.path, "INSERT INTO keys VALUES('ID_2'),('Global'),('ID_10'),('empty');"
                      "INSERT INTO vals VALUES('ID_2','a',4,1),('id_10','a',4,10),"
                      "('GLOBAL','g',4,7),('ID_2','b',4,2),('orphan','a',4,99),"
                      "('Id_10','b',4,20);\n");
    const QStringList names{"a", "b", "g"};
    std::vector<StoredKey> keys;
    ASSERT_TRUE(t.store->readAll(keys));
    EXPECT_EQ(describe(keys, names), "empty{} Global{g=7} ID_10{a=10,b=20} ID_2{a=1,b=2}");

    // The kind asked for alone, whatever the case of its prefix.
    ASSERT_TRUE(t.store->readKeysStartingWith("id_", keys));
    EXPECT_EQ(describe(keys, names), "ID_10{a=10,b=20} ID_2{a=1,b=2}");
    ASSERT_TRUE(t.store->readKeysStartingWith("ID_1", keys));
    EXPECT_EQ(describe(keys, names), "ID_10{a=10,b=20}");
    ASSERT_TRUE(t.store->readKeysStartingWith("ID%", keys)); // no pattern: a plain prefix
    EXPECT_TRUE(keys.empty());
}

// Saving a value again changes its row only where it differs, and a change of kind alone (the
// number 1 to the text "1") is a change.
TEST(SqliteStore, AValueSavedAgainHoldsWhatWasSavedLast) {
    TempStore t;
    ASSERT_TRUE(t.store->writeValue("K", StoreValue::dwordValue("x", 1)));
    const QString first = runSqlite(t.path, "SELECT rowid FROM vals;\n");
    ASSERT_TRUE(t.store->writeValue("K", StoreValue::dwordValue("X", 1)));
    EXPECT_EQ(runSqlite(t.path, "SELECT rowid FROM vals;\n"), first) << "rewritten unchanged";
    ASSERT_TRUE(t.store->writeValue("k", StoreValue::textValue("x", "1")));
    EXPECT_EQ(runSqlite(t.path, "SELECT name, type, quote(data) FROM vals;\n"), "x|1|'1'\n");
    ASSERT_TRUE(t.store->writeValue("K", StoreValue::dwordValue("x", 2)));
    KeyValues values;
    ASSERT_TRUE(t.store->readKey("K", values));
    EXPECT_EQ(values.dword("x", 0), 2);
    EXPECT_EQ(values.count(), 1);
}

TEST(SqliteStore, DeletingRemovesTheKeyWithItsValuesAndAMissingKeyIsNoError) {
    TempStore t;
    CQUORVISData r;
    r.DeviceId = 42;
    ASSERT_TRUE(saveController(*t.store, r));
    ASSERT_TRUE(deleteController(*t.store, 42));
    EXPECT_EQ(runSqlite(t.path, "SELECT count(*) FROM keys; SELECT count(*) FROM vals;\n"),
              "0\n0\n");
    EXPECT_TRUE(deleteController(*t.store, 42));
}

TEST(SqliteStore, AWriterInAnotherProcessIsWaitedForNotReportedAsFailure) {
    TempStore t;
    ASSERT_TRUE(setGlobal(*t.store, LOG_TCP, 1));
    test::HeldByAnotherProgram other(t.path, "UPDATE vals SET data=0 WHERE name='LOG_TCP';");

    // Reads are not blocked and see the last committed state, never an empty store.
    EXPECT_EQ(getGlobal(*t.store, LOG_TCP), 1);
    const auto started = std::chrono::steady_clock::now();
    auto write = std::async(std::launch::async, [&] { return setGlobal(*t.store, LOG_INPUT, 0); });
    EXPECT_EQ(write.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    other.release();
    EXPECT_TRUE(write.get());
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
    EXPECT_EQ(getGlobal(*t.store, LOG_TCP), 0);
    EXPECT_EQ(getGlobal(*t.store, LOG_INPUT), 0);
}

} // namespace
} // namespace iomira
