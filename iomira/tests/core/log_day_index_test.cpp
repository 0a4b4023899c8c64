// Indexing one day of log files written by the event log: every file of the day in order,
// the headers left out, chunk boundaries anywhere, the day followed while it is written
// (appended lines, a rotation, a line written in two halves) and cut lines kept.

#include "common/test_support.h"
#include "common/written_log.h"
#include "core/log_day_index.h"
#include "core/log_texts.h"
#include "core/texts.h"

#include <QFile>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::WrittenLog;

QList<QByteArray> allRows(const LogDayIndex& index) {
    QList<QByteArray> rows;
    for (qint64 row = 0; row < index.rowCount(); ++row)
        rows << index.rowBytes(row);
    return rows;
}

void indexAll(LogDayIndex& index, bool follow, qint64 budget = 1) {
    for (int turns = 0; index.indexMore(budget, follow); ++turns)
        ASSERT_LT(turns, 100000);
}

TEST(LogDayIndexing, EveryFileOfTheDayInTheOrderItWasWritten) {
    WrittenLog log;
    log.at(QDateTime(QDate(2026, 5, 5), QTime(23, 59, 0)));
    log.lines(3, "Yesterday");
    log.at(QDateTime(QDate(2026, 5, 6), QTime(0, 0, 1)));
    QList<QByteArray> written = log.lines(2500, "Pump 1");
    log.rotate(QTime(9, 0, 0));
    written += log.lines(2500, QString::fromUtf8("펌프 2"));
    log.rotate(QTime(18, 30, 0));
    written += log.lines(10, "Pump 3");
    log.at(QDateTime(QDate(2026, 5, 7), QTime(0, 0, 0)));
    log.lines(4, "Tomorrow");

    LogDayIndex index(log.folder(), QDate(2026, 5, 6));
    indexAll(index, false);
    EXPECT_EQ(index.rowCount(), written.size());
    EXPECT_EQ(allRows(index), written);
    EXPECT_EQ(index.indexedBytes(), log.bytesOfDay(QDate(2026, 5, 6)));
    EXPECT_EQ(index.knownBytes(), index.indexedBytes());
    EXPECT_LT(index.memoryBytes() * 10, static_cast<size_t>(index.indexedBytes()));
    EXPECT_EQ(index.controllerNames(),
              (QStringList{"Pump 1", "Pump 3", QString::fromUtf8("펌프 2")}));
    EXPECT_TRUE(index.rowBytes(-1).isEmpty());
    EXPECT_TRUE(index.rowBytes(index.rowCount()).isEmpty());
}

TEST(LogDayIndexing, RowsAreVisitedFileByFileInRangesAndLists) {
    WrittenLog log;
    QList<QByteArray> written = log.lines(30, "A");
    log.rotate(QTime(11, 0, 0));
    written += log.lines(30, "B");
    LogDayIndex index(log.folder(), log.day());
    indexAll(index, false);

    QList<QByteArray> seen;
    index.forEachRow(25, 40, [&](qint64 row, QByteArrayView line) {
        EXPECT_EQ(line, written[row]);
        seen << line.toByteArray();
        return true;
    });
    EXPECT_EQ(seen, written.mid(25, 15));

    const std::vector<uint32_t> picked = {0, 29, 30, 59};
    std::vector<qint64> visited;
    index.forEachRow(picked, [&](qint64 row, QByteArrayView line) {
        EXPECT_EQ(line, written[row]);
        visited.push_back(row);
        return visited.size() < 3;
    });
    EXPECT_EQ(visited, (std::vector<qint64>{0, 29, 30}));
}

TEST(LogDayIndexing, TheDayBeingWrittenIsFollowedWithoutLosingOrDoublingALine) {
    WrittenLog log;
    QList<QByteArray> written = log.lines(5, "Pump");
    LogDayIndex index(log.folder(), log.day());
    indexAll(index, true);
    EXPECT_EQ(allRows(index), written);

    written += log.lines(3, "Pump");
    indexAll(index, true);
    EXPECT_EQ(allRows(index), written);

    // A line reaches the file in two writes: it is a row only once it is whole.
    const QByteArray line = log.line("Pump", logText(TEXT_RESPONSE_INPUTS));
    log.appendRaw(line.left(17));
    indexAll(index, true);
    EXPECT_EQ(index.rowCount(), written.size());
    log.appendRaw(line.mid(17));
    written << line;
    indexAll(index, true);
    EXPECT_EQ(allRows(index), written);

    // The log rotates; the new file's lines follow those of the old one.
    log.rotate(QTime(13, 0, 0));
    written += log.lines(4, "Valve");
    indexAll(index, true);
    EXPECT_EQ(allRows(index), written);
    EXPECT_EQ(index.indexedBytes(), log.bytesOfDay(log.day()));
}

TEST(LogDayIndexing, ALineLeftWithoutItsEndIsARowOnceNothingCanFollowIt) {
    WrittenLog log;
    QList<QByteArray> written = log.lines(2, "Pump");
    log.appendRaw("Pump\t\tDO1\tEstab");
    LogDayIndex followed(log.folder(), log.day());
    indexAll(followed, true);
    EXPECT_EQ(followed.rowCount(), 2);

    LogDayIndex past(log.folder(), log.day());
    indexAll(past, false);
    EXPECT_EQ(allRows(past), written + QList<QByteArray>{"Pump\t\tDO1\tEstab"});
    EXPECT_TRUE(past.row(2).flaws & LOG_LINE_UNENDED);

    // The writer started a new file after the cut line: it ends the old one.
    log.rotate(QTime(14, 0, 0));
    written << "Pump\t\tDO1\tEstab";
    written += log.lines(1, "Pump");
    indexAll(followed, true);
    EXPECT_EQ(allRows(followed), written);
}

TEST(LogDayIndexing, FilesNotStartingWithTheHeaderKeepTheirFirstLine) {
    WrittenLog log;
    const QString path = log.folder() + "/20260506_120000.txt";
    test::writeFile(path, "no header here\r\nsecond\r\n");
    test::writeFile(log.folder() + "/20260506_130000.txt", kLogHeader);
    test::writeFile(log.folder() + "/20260506_140000.txt", "");
    LogDayIndex index(log.folder(), QDate(2026, 5, 6));
    indexAll(index, false);
    EXPECT_EQ(allRows(index), (QList<QByteArray>{"no header here\r\n", "second\r\n"}));
}

TEST(LogDayIndexing, ADayWithoutFilesIsEmpty) {
    QTemporaryDir dir;
    LogDayIndex index(dir.filePath("missing"), QDate(2026, 5, 6));
    EXPECT_FALSE(index.indexMore(1 << 20, true));
    EXPECT_EQ(index.rowCount(), 0);
    EXPECT_TRUE(index.rowBytes(0).isEmpty());
    int visits = 0;
    index.forEachRow(0, 10, [&](qint64, QByteArrayView) { return ++visits > 0; });
    EXPECT_EQ(visits, 0);
}

} // namespace
} // namespace iomira
