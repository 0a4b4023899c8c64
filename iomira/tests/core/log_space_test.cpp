// The event log on a disk that runs out of space or refuses writes: entries are dropped and
// counted, the operator is told once per stop, and the first line after it tells the loss.

#include "common/test_support.h"
#include "core/event_log.h"
#include "core/string_table.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>

namespace iomira {
namespace {

using test::readFile;

const QByteArray kHeader = "Com Name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\tEtc\r\n";
constexpr quint64 kMiB = 1024 * 1024;
constexpr quint64 kGiB = 1024 * kMiB;

QList<QByteArray> linesOf(const QByteArray& contents) {
    QList<QByteArray> lines = contents.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray lastEtc(const QByteArray& line) {
    return line.split('\t').value(7).trimmed();
}

// A disk the test sizes by hand and a clock it moves by hand.
class SpaceTest : public ::testing::Test {
  protected:
    SpaceTest()
        : log(
              dir.filePath("Iomira"), [this] { return now; },
              [this](const QString& folder) {
                  ++probes;
                  probed = folder;
                  return space;
              }) {
        log.setPauseNotice([this](const LogPauseNotice& n) { notices.push_back(n); });
    }
    void later(int seconds) { now = now.addSecs(seconds); }
    QList<QByteArray> lines() const { return linesOf(readFile(log.currentPath())); }

    QTemporaryDir dir;
    QDateTime now{QDate(2026, 12, 9), QTime(10, 15, 0)};
    std::optional<DiskSpace> space = DiskSpace{10 * kGiB, 5 * kGiB};
    int probes = 0;
    QString probed;
    std::vector<LogPauseNotice> notices;
    EventLog log;
};

TEST_F(SpaceTest, LowSpaceStopsTheLogAndTheFirstLineAfterItCountsTheLoss) {
    ASSERT_EQ(log.OpenNewFile(), 0);
    ASSERT_EQ(log.WriteEntry("one\r\n"), 0);
    // 1 % of 10 GiB is less than 200 MiB, so 200 MiB is the limit.
    space->availableBytes = 150 * kMiB;
    ASSERT_EQ(log.WriteEntry("two\r\n"), 0); // not looked at again yet
    later(5);
    EXPECT_EQ(log.WriteEntry("three\r\n"), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(log.WriteEntry("lost\r\n"), 0);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].error, 0);
    EXPECT_EQ(notices[0].folder, dir.filePath("Iomira"));
    EXPECT_EQ(notices[0].availableBytes, std::optional<quint64>(150 * kMiB));
    EXPECT_EQ(probed, dir.filePath("Iomira"));

    later(5);
    log.WriteEntry("lost\r\n");
    space->availableBytes = 210 * kMiB; // above the limit, below the margin to resume
    later(5);
    log.WriteEntry("lost\r\n");
    EXPECT_EQ(lines().size(), 3) << "header, one, two";
    space->availableBytes = 2 * kGiB;
    later(5);
    ASSERT_EQ(log.WriteEntry("four\r\n"), 0);
    EXPECT_EQ(notices.size(), 1u) << "told once per stop";

    const QList<QByteArray> written = lines();
    ASSERT_EQ(written.size(), 5);
    EXPECT_EQ(written[0] + '\n', kHeader);
    EXPECT_EQ(written[1], "one\r");
    EXPECT_EQ(written[2], "two\r");
    EXPECT_EQ(written[3], "\t\t\t\t20261209/10:15:20\t\t\tWriting to the log was paused at "
                          "20261209/10:15:05 because the disk was almost full (150.0 MB free), "
                          "and resumed; entries dropped: 6.\r");
    EXPECT_EQ(written[4], "four\r");

    // A second stop is told again, and its count starts afresh.
    space->availableBytes = 100 * kMiB;
    later(5);
    log.WriteEntry("lost\r\n");
    EXPECT_EQ(notices.size(), 2u);
    space->availableBytes = 3 * kGiB;
    later(5);
    log.WriteEntry("five\r\n");
    EXPECT_TRUE(lines().value(5).endsWith("and resumed; entries dropped: 1.\r"));
    EXPECT_EQ(lines().value(6), "five\r");
}

TEST_F(SpaceTest, OnALargeDiskOnePercentIsTheLimit) {
    space = DiskSpace{100 * 1024 * kGiB, 900 * kGiB}; // 1 % = 1 TiB
    ASSERT_EQ(log.OpenNewFile(), 0);
    log.WriteEntry("dropped\r\n");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(lines().size(), 1);
    EXPECT_EQ(requiredFreeBytes(*space, {}), 1024 * kGiB);
    space->availableBytes = 1200 * kGiB; // the limit and a tenth more
    later(5);
    log.WriteEntry("kept\r\n");
    EXPECT_EQ(lines().size(), 3);
}

TEST_F(SpaceTest, TheDiskIsLookedAtEveryFewSecondsOrThousandEntriesNeverPerLine) {
    ASSERT_EQ(log.OpenNewFile(), 0);
    log.WriteEntry("a\r\n");
    EXPECT_EQ(probes, 1);
    for (int i = 0; i < 999; ++i)
        log.WriteEntry("a\r\n");
    EXPECT_EQ(probes, 1);
    log.WriteEntry("a\r\n");
    EXPECT_EQ(probes, 2);
    later(4);
    log.WriteEntry("a\r\n");
    EXPECT_EQ(probes, 2);
    later(1);
    log.WriteEntry("a\r\n");
    EXPECT_EQ(probes, 3);
    now = now.addSecs(-3600); // a clock set back does not silence it
    log.WriteEntry("a\r\n");
    EXPECT_EQ(probes, 4);
    EXPECT_EQ(lines().size(), 1 + 1004);
}

TEST_F(SpaceTest, ADiskThatCannotBeAskedAboutIsWrittenToAsBefore) {
    space.reset();
    ASSERT_EQ(log.OpenNewFile(), 0);
    log.WriteEntry("a\r\n");
    later(5);
    log.WriteEntry("b\r\n");
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(lines().size(), 3);
}

TEST_F(SpaceTest, TheNoticeNamesTheFolderAndTheFreeSpace) {
    setLanguage(LANG_ENGLISH);
    const QString full = logPauseMessage({"/data/Iomira", 150 * kMiB + kMiB / 2, 0});
    EXPECT_TRUE(full.startsWith("The disk of the log files is almost full: the event log "
                                "stops writing until space is free again."));
    EXPECT_TRUE(full.contains("/data/Iomira"));
    EXPECT_TRUE(full.contains("150.5 MB"));
    const QString failed = logPauseMessage({"/data/Iomira", std::nullopt, EIO});
    EXPECT_TRUE(failed.contains(QStringLiteral("[%1] ").arg(EIO)));
    EXPECT_TRUE(failed.contains("/data/Iomira"));
    EXPECT_FALSE(failed.contains("%"));
}

// The file size limit of the process makes real writes fail, half-way through a line.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { lift(); }
    void lift() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool ok() const { return ok_; }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};

TEST_F(SpaceTest, AFailedWriteStopsTheLogWithoutLeavingHalfALine) {
    ASSERT_EQ(log.OpenNewFile(), 0);
    const QByteArray line = "0123456789\r\n";
    FileSizeLimit limit(kHeader.size() + 2 * line.size() + 5);
    ASSERT_TRUE(limit.ok());
    ASSERT_EQ(log.WriteEntry(line), 0);
    ASSERT_EQ(log.WriteEntry(line), 0);
    EXPECT_EQ(log.WriteEntry(line), 0); // 5 bytes of it fit: taken back
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].error, EFBIG);
    EXPECT_EQ(notices[0].availableBytes, std::optional<quint64>(5 * kGiB));
    for (int i = 0; i < 5; ++i)
        log.WriteEntry(line);
    EXPECT_EQ(readFile(log.currentPath()), kHeader + line + line);

    later(5); // the retry fails as well: the same stop, not told again
    log.WriteEntry(line);
    EXPECT_EQ(notices.size(), 1u);
    EXPECT_EQ(readFile(log.currentPath()), kHeader + line + line);

    limit.lift();
    later(5);
    ASSERT_EQ(log.WriteEntry("after\r\n"), 0);
    const QList<QByteArray> written = lines();
    ASSERT_EQ(written.size(), 5);
    EXPECT_EQ(lastEtc(written[3]),
              QStringLiteral("Writing to the log was paused at 20261209/10:15:00 because a "
                             "write to the log file failed ([%1] %2), and resumed; entries "
                             "dropped: 7.")
                  .arg(EFBIG)
                  .arg(QString::fromLocal8Bit(std::strerror(EFBIG)))
                  .toUtf8());
    EXPECT_EQ(written[4], "after\r");
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(SpaceTest, AHeaderThatDidNotFitComesWithTheFirstLineAfterTheStop) {
    FileSizeLimit limit(10);
    ASSERT_TRUE(limit.ok());
    ASSERT_EQ(log.OpenNewFile(), 0) << "the file is open, only its header is missing";
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].error, EFBIG);
    EXPECT_EQ(readFile(log.currentPath()), QByteArray());
    log.WriteEntry("lost\r\n");
    limit.lift();
    later(5);
    log.WriteEntry("kept\r\n");
    const QList<QByteArray> written = lines();
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(written[0] + '\n', kHeader);
    EXPECT_TRUE(written[1].endsWith("and resumed; entries dropped: 1.\r"));
    EXPECT_EQ(written[2], "kept\r");
}

// A real file system of 2 MiB, mounted for the test (needs the right to mount).
class SmallDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        mountPoint = dir.filePath("disk");
        ASSERT_TRUE(QDir().mkpath(mountPoint));
        if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs",
                    MS_NOSUID | MS_NODEV, "size=2m") != 0)
            GTEST_SKIP() << "no tmpfs: " << std::strerror(errno);
        mounted = true;
    }
    void TearDown() override {
        log.reset();
        if (mounted) ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
    }
    void makeLog(LogSpaceLimits limits) {
        log.emplace(
            mountPoint + "/Iomira", [this] { return now; }, probeDiskSpace, limits);
        log->setPauseNotice([this](const LogPauseNotice& n) { notices.push_back(n); });
    }
    void ballast(qint64 bytes) {
        QFile f(mountPoint + "/ballast");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(QByteArray(bytes, 'b')), bytes);
    }

    QTemporaryDir dir;
    QString mountPoint;
    bool mounted = false;
    QDateTime now{QDate(2026, 12, 9), QTime(10, 15, 0)};
    std::vector<LogPauseNotice> notices;
    std::optional<EventLog> log;
};

TEST_F(SmallDisk, AFullDiskStopsTheLogAndFreedSpaceResumesIt) {
    makeLog({0, 0, 0, 5, 1000}); // only the failing write stops it
    ballast(512 * 1024);
    ASSERT_EQ(log->OpenNewFile(), 0);
    const QByteArray line = QByteArray(998, 'x') + "\r\n";
    int written = 0;
    for (; written < 4000 && notices.empty(); ++written)
        log->WriteEntry(line);
    ASSERT_EQ(notices.size(), 1u) << "not full after " << written << " lines";
    EXPECT_EQ(notices[0].error, ENOSPC);
    const QByteArray full = readFile(log->currentPath());
    EXPECT_EQ(full, kHeader + line.repeated(written - 1)) << "whole lines only";
    for (int i = 0; i < 10; ++i)
        log->WriteEntry(line);
    EXPECT_EQ(readFile(log->currentPath()).size(), full.size());

    ASSERT_TRUE(QFile::remove(mountPoint + "/ballast"));
    now = now.addSecs(5);
    ASSERT_EQ(log->WriteEntry("back\r\n"), 0);
    const QList<QByteArray> lines = linesOf(readFile(log->currentPath()));
    ASSERT_EQ(lines.size(), written + 2);
    EXPECT_TRUE(
        lines[written].contains(QStringLiteral("([%1] %2), and resumed; entries dropped: 11.")
                                    .arg(ENOSPC)
                                    .arg(QString::fromLocal8Bit(std::strerror(ENOSPC)))
                                    .toUtf8()));
    EXPECT_EQ(lines[written + 1], "back\r");
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(SmallDisk, TheSystemsFreeSpaceStopsTheLogBeforeTheDiskIsFull) {
    const std::optional<DiskSpace> empty = probeDiskSpace(mountPoint);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->totalBytes, 2 * kMiB);
    EXPECT_EQ(empty->availableBytes, 2 * kMiB);

    makeLog({kMiB, 10, 10, 5, 1000});
    ballast(1536 * 1024);
    ASSERT_EQ(log->OpenNewFile(), 0);
    log->WriteEntry("dropped\r\n");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].error, 0);
    ASSERT_TRUE(notices[0].availableBytes);
    EXPECT_LE(*notices[0].availableBytes, 512 * 1024u);
    EXPECT_EQ(readFile(log->currentPath()), kHeader);

    ASSERT_TRUE(QFile::remove(mountPoint + "/ballast"));
    now = now.addSecs(5);
    log->WriteEntry("kept\r\n");
    const QList<QByteArray> lines = linesOf(readFile(log->currentPath()));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].contains("because the disk was almost full"));
    EXPECT_TRUE(lines[1].endsWith("and resumed; entries dropped: 1.\r"));
    EXPECT_EQ(lines[2], "kept\r");
}

} // namespace
} // namespace iomira
