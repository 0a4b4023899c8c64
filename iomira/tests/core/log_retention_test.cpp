// Deleting old daily log files: which names count, which dates are old enough, when the event
// log deletes them and what it writes about it; and the two settings as the store keeps them.

#include "common/test_support.h"
#include "core/event_log.h"
#include "core/global_settings.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::readFile;
using test::writeFile;

QList<QByteArray> etcColumns(const QByteArray& contents) {
    QList<QByteArray> texts;
    const QList<QByteArray> lines = contents.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines[i].isEmpty()) texts << lines[i].split('\t').value(7).trimmed();
    }
    return texts;
}

class OldLogFiles : public ::testing::Test {
  protected:
    OldLogFiles() { QDir().mkpath(folder); }
    void touch(const QString& name) { writeFile(folder + "/" + name, "Com Name\r\n"); }
    QStringList names() const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                      QDir::Name);
    }

    QTemporaryDir dir;
    QString folder = dir.filePath("Iomira");
    const QDate today{2026, 12, 10};
};

TEST_F(OldLogFiles, OnlyDailyFilesOlderThanTheDaysAreDeleted) {
    const QStringList expired{"20250101_000000.txt", "20261109_235959.txt"};
    const QStringList kept{"20261110_000000.txt", "20261210_083000.txt", "20270101_000000.txt"};
    const QStringList strangers{"notes.txt",           "20261001_101500.txt.bak",
                                "20261001_101500.TXT", "x20261001_101500.txt",
                                "2026100_101500.txt",  "20261301_101500.txt",
                                "20261001_246000.txt", "20261001-101500.txt",
                                "20260230_101500.txt", "20261001_101500.txt~"};
    for (const QStringList* list : {&expired, &kept, &strangers})
        for (const QString& name : *list)
            touch(name);
    ASSERT_TRUE(QDir(folder).mkdir("20261002_101500.txt")); // a folder of that name
    touch("20261002_101500.txt/20261001_101500.txt");
    writeFile(dir.filePath("outside.txt"), "not ours");
    ASSERT_TRUE(QFile::link(dir.filePath("outside.txt"), folder + "/20261003_101500.txt"));

    EXPECT_EQ(expiredLogFiles(folder, today, 30), expired);
    const std::vector<LogFileRemoval> removals = deleteExpiredLogFiles(folder, today, 30, {});
    ASSERT_EQ(removals.size(), 2u);
    EXPECT_EQ(removals[0].name, expired[0]);
    EXPECT_EQ(removals[0].error, 0);
    EXPECT_EQ(removals[1].name, expired[1]);

    QStringList left = kept + strangers;
    left << "20261002_101500.txt"
         << "20261003_101500.txt";
    left.sort();
    EXPECT_EQ(names(), left);
    EXPECT_TRUE(QFile::exists(folder + "/20261002_101500.txt/20261001_101500.txt"));
    EXPECT_EQ(readFile(dir.filePath("outside.txt")), "not ours");

    EXPECT_EQ(expiredLogFiles(folder, today, 1), (QStringList{"20261110_000000.txt"}));
    EXPECT_TRUE(expiredLogFiles(folder, today, 3650).isEmpty());
    EXPECT_TRUE(expiredLogFiles(dir.filePath("missing"), today, 1).isEmpty());
}

TEST_F(OldLogFiles, TheFileBeingWrittenIsNeverDeleted) {
    touch("20261001_101500.txt");
    touch("20261002_101500.txt");
    const std::vector<LogFileRemoval> removals =
        deleteExpiredLogFiles(folder, today, 30, folder + "/20261002_101500.txt");
    ASSERT_EQ(removals.size(), 1u);
    EXPECT_EQ(removals[0].name, "20261001_101500.txt");
    EXPECT_EQ(names(), QStringList{"20261002_101500.txt"});
}

// The event log with a clock the test moves.
class RetainingLog : public OldLogFiles {
  protected:
    RetainingLog() : log(folder, [this] { return now; }) {}
    QDateTime now{QDate(2026, 12, 10), QTime(10, 0, 0)};
    EventLog log;
};

TEST_F(RetainingLog, StartUpAndEachNewDayDeleteAndSayWhatWent) {
    touch("20250101_000000.txt");
    touch("20261109_101500.txt");
    touch("20261110_101500.txt");
    touch("20261111_101500.txt");
    touch("readme.txt");
    // Start-up: the file opens before the settings are read; then they apply at once.
    ASSERT_EQ(log.OpenNewFile(), 0);
    EXPECT_EQ(names().size(), 6);
    log.setRetention({true, 30});
    log.deleteExpiredFiles();
    EXPECT_EQ(names(), (QStringList{"20261110_101500.txt", "20261111_101500.txt",
                                    "20261210_100000.txt", "readme.txt"}));
    EXPECT_EQ(etcColumns(readFile(log.currentPath())),
              (QList<QByteArray>{"Deleted the log file 20250101_000000.txt, older than 30 days.",
                                 "Deleted the log file 20261109_101500.txt, older than 30 days."}));
    const QByteArray firstDay = readFile(log.currentPath());
    EXPECT_TRUE(firstDay.split('\n').value(1).startsWith("\t\t\t\t20261210/10:00:00\t\t\t"));

    // Once a day: a second call and a file opened later that day delete nothing more.
    touch("20261001_000000.txt");
    log.deleteExpiredFiles();
    now = now.addSecs(60);
    ASSERT_EQ(log.OpenNewFile(), 0);
    EXPECT_TRUE(QFile::exists(folder + "/20261001_000000.txt"));

    // The next day's file deletes what has grown old since, then takes the entry.
    now = QDateTime(QDate(2026, 12, 11), QTime(0, 0, 5));
    ASSERT_EQ(log.WriteEntry("entry\r\n"), 0);
    EXPECT_EQ(log.currentPath(), folder + "/20261211_000005.txt");
    EXPECT_EQ(
        etcColumns(readFile(log.currentPath())),
        (QList<QByteArray>{"Deleted the log file 20261001_000000.txt, older than 30 days.",
                           "Deleted the log file 20261110_101500.txt, older than 30 days.", ""}));
    EXPECT_TRUE(readFile(log.currentPath()).endsWith("\r\nentry\r\n"));
    EXPECT_EQ(readFile(folder + "/20261210_100000.txt"), firstDay) << "yesterday's file stays";
}

TEST_F(RetainingLog, SwitchedOffNothingIsDeleted) {
    touch("20200101_000000.txt");
    ASSERT_EQ(log.OpenNewFile(), 0);
    log.deleteExpiredFiles();
    log.setRetention({false, 1});
    now = now.addDays(1);
    ASSERT_EQ(log.WriteEntry("entry\r\n"), 0);
    log.deleteExpiredFiles();
    EXPECT_TRUE(QFile::exists(folder + "/20200101_000000.txt"));
    EXPECT_EQ(names().size(), 3);
}

TEST(LogRetentionSettings, AreReadWithTheGlobalSwitchesAndCheckedForRange) {
    test::TempStore t;
    GlobalSwitches s;
    ASSERT_TRUE(readGlobalSwitches(*t.store, s));
    EXPECT_EQ(logRetention(s), (LogRetention{false, 30}));

    ASSERT_TRUE(setGlobal(*t.store, LOG_DELETE_OLD_FILES, 1));
    ASSERT_TRUE(setGlobal(*t.store, LOG_DELETE_OLD_FILES_DAYS, 3650));
    ASSERT_TRUE(readGlobalSwitches(*t.store, s));
    EXPECT_EQ(logRetention(s), (LogRetention{true, 3650}));
    EXPECT_EQ(test::runSqlite(t.path, "SELECT name, data FROM vals WHERE key = 'GLOBAL' "
                                      "AND name LIKE 'LOG_DELETE%' ORDER BY name;"),
              "LOG_DELETE_OLD_FILES|1\nLOG_DELETE_OLD_FILES_DAYS|3650\n");

    for (int wrong : {0, -5, 3651}) {
        ASSERT_TRUE(setGlobal(*t.store, LOG_DELETE_OLD_FILES_DAYS, wrong));
        ASSERT_TRUE(readGlobalSwitches(*t.store, s));
        EXPECT_EQ(s.logDeleteOldFilesDays, 30) << wrong;
    }
    ASSERT_TRUE(setGlobal(*t.store, LOG_DELETE_OLD_FILES, 2)); // only 1 means on
    ASSERT_TRUE(readGlobalSwitches(*t.store, s));
    EXPECT_FALSE(logRetention(s).enabled);
}

} // namespace
} // namespace iomira
