// Exporting rows of a day as CSV: the file's columns, quoted where they must be, damaged lines
// whole in the last column, byte for byte.

#include "common/written_log.h"
#include "core/log_day_index.h"
#include "core/log_entries.h"
#include "core/log_export.h"
#include "core/log_texts.h"
#include "core/texts.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::WrittenLog;

constexpr char kHeaderRow[] = "Com Name,Peer IP,Tag Name,State,Time,Address,Value,Etc\r\n";

class DayExport : public ::testing::Test {
  protected:
    DayExport() {
        const CQUORVISData pump = WrittenLog::controller("Pump, \"north\"");
        log.write(stateEntryLine(pump, {}, -1, LOG_VALUE_NONE, 3, log.now()));
        log.write(stateEntryLine(pump, logText(TEXT_SEND_WRITE_COIL), 1, LOG_ON, 3, log.now()));
        log.appendRaw("cut\tshort, with comma\r\n");
        log.appendRaw("bad \xff byte\t\t\t\t20260506/10:00:02\t\t\tx\r\n");
        log.write(inputStatusEntryLine(WrittenLog::controller(QString::fromUtf8("펌프")), 0,
                                       LOG_OFF, log.now()));
        while (index.indexMore(1 << 20, false)) {
        }
    }

    WrittenLog log;
    LogDayIndex index{log.folder(), log.day()};
};

TEST_F(DayExport, EveryRowAsTheFileHasIt) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(writeLogCsv(index, out));
    EXPECT_EQ(out.data(),
              QByteArray(kHeaderRow) +
                  "\"Pump, \"\"north\"\"\",plc.local,,Established,20260506/10:00:00,,,\r\n"
                  "\"Pump, \"\"north\"\"\",,\"Motor \"\"A\"\"\",Established,20260506/10:00:01,1,"
                  "ON,Send a write coil request\r\n"
                  ",,,,,,,\"cut\tshort, with comma\"\r\n"
                  "bad \xEF\xBF\xBD byte,,,,20260506/10:00:02,,,x\r\n"
                  "\xED\x8E\x8C\xED\x94\x84,,\"Level, high\",,20260506/10:00:02,0,OFF,Input "
                  "port status\r\n");
}

TEST_F(DayExport, OnlyTheRowsGiven) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    const std::vector<uint32_t> rows = {1, 4};
    ASSERT_TRUE(writeLogCsv(index, rows, out));
    EXPECT_EQ(out.data(),
              QByteArray(kHeaderRow) +
                  "\"Pump, \"\"north\"\"\",,\"Motor \"\"A\"\"\",Established,20260506/10:00:01,1,"
                  "ON,Send a write coil request\r\n"
                  "\xED\x8E\x8C\xED\x94\x84,,\"Level, high\",,20260506/10:00:02,0,OFF,Input "
                  "port status\r\n");
    QBuffer none;
    none.open(QIODevice::WriteOnly);
    ASSERT_TRUE(writeLogCsv(index, std::vector<uint32_t>{}, none));
    EXPECT_EQ(none.data(), kHeaderRow);
}

TEST_F(DayExport, AFailedWriteIsReported) {
    QFile full("/dev/full");
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    EXPECT_FALSE(writeLogCsv(index, full));
    QBuffer closed;
    EXPECT_FALSE(writeLogCsv(index, closed));
}

} // namespace
} // namespace iomira
