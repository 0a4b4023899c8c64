// The trend's history read back from log files the program's own event log wrote: every kind
// of value entry, the period's edges across a day's change, other controllers' entries, and
// damaged and cut lines among them, which are skipped and counted.

#include "core/event_log.h"
#include "core/log_entries.h"
#include "core/log_texts.h"
#include "core/quorvis_data.h"
#include "core/texts.h"
#include "core/trend_history.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace iomira {
namespace {

constexpr int kId = 42;

std::vector<TimedSample> samplesOf(const TrendHistory& h, TrendKind kind, int index) {
    std::vector<TimedSample> out;
    const auto found = h.series.find({kId, kind, index});
    if (found == h.series.end()) return out;
    const SampleView view = found->second.view();
    for (size_t i = 0; i < view.size(); ++i)
        out.push_back(view.at(i));
    return out;
}

class TrendHistoryFiles : public ::testing::Test {
  protected:
    TrendHistoryFiles()
        : log(dir.path(), [this] { return clock; }), writers(log, [](int) { return 3; }) {
        tank.DeviceComment = QString::fromUtf8("탱크 1");
        tank.DoComment[1] = "Pump";
        other.DeviceComment = "Other";
    }

    int64_t at(int hour, int minute, int second) {
        clock = QDateTime(QDate(2026, 3, 14), QTime(hour, minute, second));
        return clock.toSecsSinceEpoch();
    }

    void writeAnalog(const CQUORVISData& c, int channel, int raw) {
        writers.LogValueEntry(c, QStringLiteral("ANALOG"), logText(TEXT_ANALOG_VALUE), channel,
                              raw);
    }

    void appendRaw(const QByteArray& bytes) {
        QFile file(log.currentPath());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(bytes);
    }

    QTemporaryDir dir;
    QDateTime clock;
    EventLog log;
    EventLogWriters writers;
    CQUORVISData tank;
    CQUORVISData other;
};

TEST_F(TrendHistoryFiles, EveryValueEntryOfTheControllerIsReadInItsPeriod) {
    const int64_t t0 = at(23, 59, 58);
    ASSERT_EQ(log.OpenNewFile(), 0);
    writeAnalog(tank, 2, 4095);
    writeAnalog(other, 2, 17);
    writers.LogTemperatureEntry(tank, "-12.3");
    writers.LogValueEntry(tank, "COUNTER", logText(TEXT_COUNTER_VALUE), 1, 4'000'000'000LL);
    writers.LogInputStatusEntry(tank, 3, LOG_ON);
    writers.LogStateEntry(tank, logText(TEXT_OUTPUT_PORT_STATUS), 1, LOG_OFF);
    writers.LogStateEntry(tank, logText(TEXT_RESPONSE_INPUTS)); // no value in it
    at(23, 59, 59);
    writeAnalog(tank, 2, 100);
    const int64_t t2 = clock.toSecsSinceEpoch() + 1;
    clock = QDateTime(QDate(2026, 3, 15), QTime(0, 0, 0)); // the next day: a new file
    writeAnalog(tank, 2, 7);
    writers.LogInputStatusEntry(tank, 3, LOG_OFF);
    clock = clock.addSecs(60);
    writeAnalog(tank, 2, 8); // after the period
    ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    const TrendHistory h = readTrendHistory(dir.path(), tank.DeviceComment, kId, t0, t2);
    EXPECT_EQ(h.skippedLines, 0);
    EXPECT_EQ(samplesOf(h, TrendKind::Analog, 2),
              (std::vector<TimedSample>{{t0, 4095}, {t0 + 1, 100}, {t2, 7}}));
    EXPECT_EQ(samplesOf(h, TrendKind::Temperature, 0), (std::vector<TimedSample>{{t0, -123}}));
    EXPECT_EQ(samplesOf(h, TrendKind::Counter, 1),
              (std::vector<TimedSample>{{t0, static_cast<int32_t>(4'000'000'000u)}}));
    EXPECT_EQ(samplesOf(h, TrendKind::DigitalInput, 3),
              (std::vector<TimedSample>{{t0, 1}, {t2, 0}}));
    EXPECT_EQ(samplesOf(h, TrendKind::DigitalOutput, 1), (std::vector<TimedSample>{{t0, 0}}));
    EXPECT_EQ(h.series.size(), 5u) << "nothing of the other controller";

    const TrendHistory late = readTrendHistory(dir.path(), tank.DeviceComment, kId, t2, t2 + 60);
    EXPECT_EQ(samplesOf(late, TrendKind::Analog, 2),
              (std::vector<TimedSample>{{t2, 7}, {t2 + 60, 8}}));
    EXPECT_TRUE(samplesOf(late, TrendKind::Temperature, 0).empty())
        << "the earlier day is not read";
}

TEST_F(TrendHistoryFiles, DamagedAndCutLinesAreSkippedAndCounted) {
    const int64_t t0 = at(10, 0, 0);
    ASSERT_EQ(log.OpenNewFile(), 0);
    writeAnalog(tank, 0, 1000);
    const QByteArray name = tank.DeviceComment.toUtf8();
    appendRaw("not a log line\r\n");
    appendRaw(name + "\t\tANALOG\t\t2026031x/10:00:00\t0\t5\tAnalog value\r\n"); // bad time
    appendRaw(name + "\t\tANALOG\t\t20260314/10:00:00\t9\t5\tAnalog value\r\n"); // no channel 9
    appendRaw(name + "\t\tANALOG\t\t20260314/10:00:00\t0\tfive\tAnalog value\r\n");
    appendRaw(name + "\t\tDoor\t\t20260314/10:00:00\t1\tMAYBE\tInput port status\r\n");
    appendRaw("\xff\xfe\t\t\t\t\t\t\t\r\n"); // not UTF-8
    at(10, 0, 1);
    writeAnalog(tank, 0, 2000);
    appendRaw(name + "\t\tANALOG\t\t20260314/10:00:02\t0\t30"); // cut while written

    const TrendHistory h = readTrendHistory(dir.path(), tank.DeviceComment, kId, t0, t0 + 10);
    EXPECT_EQ(h.skippedLines, 7);
    EXPECT_EQ(samplesOf(h, TrendKind::Analog, 0),
              (std::vector<TimedSample>{{t0, 1000}, {t0 + 1, 2000}}));
    EXPECT_TRUE(samplesOf(h, TrendKind::DigitalInput, 1).empty());
}

TEST(TrendHistory, AMissingFolderHoldsNothing) {
    const TrendHistory h = readTrendHistory("/nonexistent/iomira-logs", "x", kId, 0, 1'000'000);
    EXPECT_TRUE(h.series.empty());
    EXPECT_EQ(h.skippedLines, 0);
}

} // namespace
} // namespace iomira
