#include "common/test_support.h"
#include "core/event_log.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace iomira {
namespace {

using test::readFile;

const QByteArray kHeader = "Com Name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\tEtc\r\n";

// A clock the test moves by hand.
class LogTest : public ::testing::Test {
  protected:
    LogTest() : log(dir.filePath("docs/Iomira"), [this] { return now; }) {}
    QString file(const char* name) const {
        return dir.filePath(QStringLiteral("docs/Iomira/") + name);
    }
    QStringList files() const {
        return QDir(dir.filePath("docs/Iomira")).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir dir;
    QDateTime now{QDate(2026, 12, 9), QTime(10, 15, 0)};
    EventLog log;
};

TEST_F(LogTest, AFreshInstallationGetsTheFolderAndAHeaderFirst) {
    EXPECT_EQ(log.WriteEntry("early\r\n"), -1); // nothing open yet: dropped
    ASSERT_EQ(log.OpenNewFile(), 0);
    EXPECT_EQ(log.currentPath(), file("20261209_101500.txt"));
    EXPECT_EQ(kHeader.size(), 56);
    EXPECT_EQ(readFile(log.currentPath()), kHeader);
    EXPECT_EQ(log.WriteEntry("a\tb\r\n"), 0);
    EXPECT_EQ(readFile(log.currentPath()), kHeader + "a\tb\r\n");
}

TEST_F(LogTest, TwoFilesOpenedInOneSecondShareTheFirstOnesEntries) {
    ASSERT_EQ(log.OpenNewFile(), 0);
    ASSERT_EQ(log.WriteEntry("first\r\n"), 0);
    ASSERT_EQ(log.OpenNewFile(), 0);
    ASSERT_EQ(log.WriteEntry("second\r\n"), 0);
    EXPECT_EQ(files(), QStringList{"20261209_101500.txt"});
    EXPECT_EQ(readFile(log.currentPath()), kHeader + "first\r\nsecond\r\n");
}

TEST_F(LogTest, TheFirstEntryAfterMidnightStartsAFileNamedForIt) {
    now = QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59));
    ASSERT_EQ(log.OpenNewFile(), 0);
    ASSERT_EQ(log.WriteEntry("before\r\n"), 0);
    now = QDateTime(QDate(2026, 12, 10), QTime(0, 0, 2));
    ASSERT_EQ(log.WriteEntry("after\r\n"), 0);
    EXPECT_EQ(files(), (QStringList{"20261209_235959.txt", "20261210_000002.txt"}));
    EXPECT_EQ(readFile(file("20261209_235959.txt")), kHeader + "before\r\n");
    EXPECT_EQ(readFile(file("20261210_000002.txt")), kHeader + "after\r\n");
}

TEST_F(LogTest, AFileAtExactlyTheLimitTakesOneMoreEntry) {
    ASSERT_EQ(log.OpenNewFile(), 0);
    {
        QFile f(log.currentPath());
        ASSERT_TRUE(f.open(QIODevice::Append));
        ASSERT_TRUE(f.resize(kLogRotateBytes));
    }
    now = now.addSecs(1);
    ASSERT_EQ(log.WriteEntry("last\r\n"), 0);
    EXPECT_EQ(QFile(file("20261209_101500.txt")).size(), kLogRotateBytes + 6);
    now = now.addSecs(1);
    ASSERT_EQ(log.WriteEntry("next\r\n"), 0);
    EXPECT_EQ(log.currentPath(), file("20261209_101502.txt"));
    EXPECT_EQ(readFile(log.currentPath()), kHeader + "next\r\n");
    EXPECT_EQ(QFile(file("20261209_101500.txt")).size(), kLogRotateBytes + 6);
}

TEST_F(LogTest, AVanishedFileStopsEntriesWithoutANewFile) {
    ASSERT_EQ(log.OpenNewFile(), 0);
    ASSERT_TRUE(QFile::remove(log.currentPath()));
    EXPECT_EQ(log.WriteEntry("lost\r\n"), 0);
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(LogTest, AFolderThatCannotBeMadeLeavesTheLogClosed) {
    test::writeFile(dir.filePath("docs"), "a file where the folder should be");
    EXPECT_GT(log.OpenNewFile(), 0);
    EXPECT_EQ(log.WriteEntry("x\r\n"), -1);
    EXPECT_TRUE(log.currentPath().isEmpty());
}

TEST_F(LogTest, AnOverlongEntryIsCutButKeepsItsLineEnd) {
    ASSERT_EQ(log.OpenNewFile(), 0);
    const QString longLine = QString(3000, QChar(0xAC00)) + "\r\n"; // 3 bytes each in UTF-8
    ASSERT_EQ(log.WriteEntry(longLine), 0);
    const QByteArray entry = readFile(log.currentPath()).mid(kHeader.size());
    EXPECT_LE(entry.size(), kLogEntryMaxBytes);
    EXPECT_GT(entry.size(), kLogEntryMaxBytes - 8);
    EXPECT_TRUE(entry.endsWith("\xEA\xB0\x80\r\n")); // whole characters only
}

TEST_F(LogTest, EntriesFromSeveralThreadsNeverInterleave) {
    ASSERT_EQ(log.OpenNewFile(), 0);
    constexpr int kPerThread = 2000;
    auto writer = [this](char tag) {
        const QString line =
            QString(40, QLatin1Char(tag)) + "\t" + QString(40, QLatin1Char(tag)) + "\r\n";
        for (int i = 0; i < kPerThread; ++i)
            log.WriteEntry(line);
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    const QList<QByteArray> lines = readFile(log.currentPath()).split('\n');
    ASSERT_EQ(lines.size(), 2 * kPerThread + 2); // header, entries, empty tail
    for (int i = 1; i <= 2 * kPerThread; ++i) {
        const QByteArray& l = lines[i];
        ASSERT_EQ(l.size(), 82);
        ASSERT_EQ(l.count(l[0]), 80) << i;
    }
}

TEST(LogFolder, ComesFromTheDocumentsVariable) {
    const QByteArray saved = qgetenv("IOMIRA_DOCUMENTS");
    qputenv("IOMIRA_DOCUMENTS", "/tmp/docs-elsewhere");
    EXPECT_EQ(logFolder(), "/tmp/docs-elsewhere/Iomira");
    qputenv("IOMIRA_DOCUMENTS", saved);
}

} // namespace
} // namespace iomira
