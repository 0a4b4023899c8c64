// Finding one day's log files in the log folder, in the order they were written.

#include "common/test_support.h"
#include "core/log_day_files.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class DailyLogFolder : public ::testing::Test {
  protected:
    DailyLogFolder() {
        for (const char* name :
             {"20260506_235959.txt", "20260505_080000.txt", "20260506_000000.txt",
              "20260506_101500.txt", "20260508_000001.txt", "notes.txt", "20260506_101500.txt.bak",
              "20260506_1015.txt", "20261306_000000.txt"}) {
            test::writeFile(dir.filePath(name), kHeader);
        }
        QDir(dir.path()).mkdir("20260506_120000.txt");
        test::writeFile(dir.filePath("elsewhere"), kHeader);
        QFile::link(dir.filePath("elsewhere"), dir.filePath("20260506_130000.txt"));
    }
    QString path(const char* name) const { return QDir(dir.path()).absoluteFilePath(name); }

    static constexpr char kHeader[] = "Com Name\r\n";
    QTemporaryDir dir;
};

TEST_F(DailyLogFolder, ADaysFilesComeInTheOrderTheyWereWritten) {
    EXPECT_EQ(logFilesOfDay(dir.path(), QDate(2026, 5, 6)),
              (QStringList{path("20260506_000000.txt"), path("20260506_101500.txt"),
                           path("20260506_235959.txt")}));
    EXPECT_EQ(logFilesOfDay(dir.path(), QDate(2026, 5, 8)),
              QStringList{path("20260508_000001.txt")});
    EXPECT_TRUE(logFilesOfDay(dir.path(), QDate(2026, 5, 7)).isEmpty());
    EXPECT_TRUE(logFilesOfDay(dir.filePath("missing"), QDate(2026, 5, 6)).isEmpty());
}

TEST_F(DailyLogFolder, TheDaysFoundAreEachNamedOnceFromTheOldest) {
    EXPECT_EQ(loggedDays(dir.path()),
              (QList<QDate>{QDate(2026, 5, 5), QDate(2026, 5, 6), QDate(2026, 5, 8)}));
    EXPECT_TRUE(loggedDays(dir.filePath("missing")).isEmpty());
}

} // namespace
} // namespace iomira
