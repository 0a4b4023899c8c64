// Filtering a day's rows: by controller, category, time range and free text, alone and
// together, over the raw bytes; damaged lines are not lost to filters on columns they lack.

#include "common/written_log.h"
#include "core/log_day_index.h"
#include "core/log_entries.h"
#include "core/log_filter.h"
#include "core/log_texts.h"
#include "core/texts.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::WrittenLog;

class DayFilter : public ::testing::Test {
  protected:
    DayFilter() {
        const CQUORVISData pump = WrittenLog::controller("Pump 1");
        const CQUORVISData korean = WrittenLog::controller(QString::fromUtf8("펌프 2"));
        const CQUORVISData valve = WrittenLog::controller("Valve,3");
        const auto now = [this] { return log.now(); };
        // 10:00:00 onwards, a second apart.
        log.write(stateEntryLine(pump, {}, -1, LOG_VALUE_NONE, 3, now()));           // 0
        log.write(inputStatusEntryLine(korean, 0, LOG_ON, now()));                   // 1
        log.write(stateEntryLine(valve, logText(TEXT_SEND_WRITE_COIL), 1, LOG_ON, 3, // 2
                                 now()));
        log.write(valueEntryLine(pump, "COUNTER", logText(TEXT_COUNTER_VALUE), 0, 77, now())); // 3
        log.write(stateEntryLine(korean, "[5]Try to send a mail.(x-INPUT0,Level,ON)", -1,      // 4
                                 LOG_VALUE_NONE, 3, now()));
        log.write(noticeEntryLine("Deleted the log file 20260401_000000.txt, older than 30 "
                                  "days.",
                                  now()));                             // 5
        log.appendRaw("Pump 1\tbroken line with too few columns\r\n"); // 6
        log.write(stateEntryLine(pump, logText(TEXT_RESPONSE_OUTPUTS), -1, LOG_VALUE_NONE, 3,
                                 now()));                                                  // 7
        log.appendRaw("Valve,3\t\t\t\tnot a time\t\t\tResponse of read output ports\r\n"); // 8
        while (index.indexMore(1 << 20, false)) {
        }
    }

    std::vector<uint32_t> rows(const LogFilter& filter) const {
        return matchingRows(index, LogLineMatcher(filter), 0, index.rowCount());
    }

    static QDateTime at(int minute, int second) {
        return QDateTime(QDate(2026, 5, 6), QTime(10, minute, second));
    }

    WrittenLog log;
    LogDayIndex index{log.folder(), log.day()};
};

using Rows = std::vector<uint32_t>;

TEST_F(DayFilter, AnEmptyFilterPassesEveryRow) {
    EXPECT_TRUE(LogFilter{}.passesAll());
    EXPECT_EQ(rows({}), (Rows{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(DayFilter, ByControllerNameExactly) {
    LogFilter filter;
    filter.controller = "Pump 1";
    EXPECT_FALSE(filter.passesAll());
    EXPECT_EQ(rows(filter), (Rows{0, 3, 6, 7}));
    filter.controller = QString::fromUtf8("펌프 2");
    EXPECT_EQ(rows(filter), (Rows{1, 4, 6}));
    filter.controller = "Valve,3";
    EXPECT_EQ(rows(filter), (Rows{2, 6, 8}));
    filter.controller = "Pump";
    EXPECT_EQ(rows(filter), (Rows{6}));
}

TEST_F(DayFilter, ByCategory) {
    const std::pair<unsigned, Rows> cases[] = {
        {logCategoryBit(LogLineCategory::Connection), {0, 6}},
        {logCategoryBit(LogLineCategory::Input), {1, 3, 6}},
        {logCategoryBit(LogLineCategory::Output), {2, 6, 7, 8}},
        {logCategoryBit(LogLineCategory::Email), {4, 6}},
        {logCategoryBit(LogLineCategory::Other), {5, 6}},
        {logCategoryBit(LogLineCategory::Input) | logCategoryBit(LogLineCategory::Email),
         {1, 3, 4, 6}},
        {0, {6}},
    };
    for (const auto& [categories, expected] : cases) {
        LogFilter filter;
        filter.categories = categories;
        EXPECT_EQ(rows(filter), expected) << categories;
    }
}

TEST_F(DayFilter, ByTimeRangeWithBothEndsIncluded) {
    struct Case {
        QDateTime from, to;
        Rows expected;
    };
    const Case cases[] = {
        {at(0, 2), at(0, 4), {2, 3, 4, 6, 8}},
        {at(0, 2), {}, {2, 3, 4, 5, 6, 7, 8}},
        {{}, at(0, 1), {0, 1, 6, 8}},
        {at(0, 3), at(0, 3), {3, 6, 8}},
        {at(0, 4), at(0, 3), {6, 8}},
        {at(0, 7), at(59, 59), {6, 8}},
        {QDateTime(QDate(2026, 5, 5), QTime(23, 0)), at(0, 0), {0, 6, 8}},
    };
    for (const Case& c : cases) {
        LogFilter filter;
        filter.from = c.from;
        filter.to = c.to;
        EXPECT_EQ(rows(filter), c.expected)
            << c.from.toString().toStdString() << " to " << c.to.toString().toStdString();
    }
}

TEST_F(DayFilter, ByTextAnywhereInTheLineCaseAside) {
    const std::pair<const char*, Rows> cases[] = {
        {"pump 1", {0, 3, 6, 7}},             // the Com Name
        {"plc.LOCAL", {0, 4, 7}},             // the peer address
        {"counter", {3}},                     // the tag and the message
        {"LEVEL, HIGH", {1}},                 // a port name
        {"20260506/10:00:05", {5}},           // the time
        {"output ports", {7, 8}},             // the message
        {"\xED\x8E\x8C\xED\x94\x84", {1, 4}}, // Korean, as it is
        {"too few", {6}},                     // a damaged line
        {"not in any line", {}},
        {"e", {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& [text, expected] : cases) {
        LogFilter filter;
        filter.text = QString::fromUtf8(text);
        EXPECT_EQ(rows(filter), expected) << text;
    }
}

TEST_F(DayFilter, PartsCombine) {
    LogFilter filter;
    filter.controller = "Pump 1";
    filter.categories =
        logCategoryBit(LogLineCategory::Input) | logCategoryBit(LogLineCategory::Output);
    EXPECT_EQ(rows(filter), (Rows{3, 6, 7}));
    filter.from = at(0, 4);
    EXPECT_EQ(rows(filter), (Rows{6, 7}));
    filter.text = "response";
    EXPECT_EQ(rows(filter), (Rows{7}));
    filter.controller = "Valve,3";
    EXPECT_EQ(rows(filter), (Rows{8}));
}

TEST_F(DayFilter, OnlyTheRowsAskedForAreLookedAt) {
    LogFilter filter;
    filter.controller = "Pump 1";
    EXPECT_EQ(matchingRows(index, LogLineMatcher(filter), 2, 7), (Rows{3, 6}));
    EXPECT_EQ(matchingRows(index, LogLineMatcher(filter), 7, 100), (Rows{7}));
}

} // namespace
} // namespace iomira
