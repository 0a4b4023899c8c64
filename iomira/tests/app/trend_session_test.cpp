// What a trend window shows without the window: the log's history joined to the recorder's
// samples where the recording began, the cursor's readings, the log files read once for a
// live period, and the CSV export byte for byte.

#include "app/trend_session.h"

#include "core/controller_table.h"
#include "core/device_family.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "monitor/trend_recorder.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace iomira {
namespace {

constexpr int kId = 5;

class TrendSessionTest : public ::testing::Test {
  protected:
    TrendSessionTest() {
        setLanguage(LANG_ENGLISH);
        auto record = std::make_unique<CQUORVISData>(recordForModel("RLX-850"));
        record->DeviceId = kId;
        record->DeviceComment = "Tank, east"; // a comma the CSV must quote
        record->AIName[0] = "Level";
        record->AIMin[0] = "0";
        record->AIMax[0] = "4095";
        record->AIUnit[0] = "cm";
        record->DiComment[1] = "Door";
        tank = record.get();
        table.insert(std::move(record));
    }

    // The log files hold Level at -100 s and -50 s and Door at -50 s, before `start`.
    TrendHistory history(int64_t from, int64_t to) {
        ++reads;
        readFrom = from;
        readTo = to;
        TrendHistory h;
        h.series[level].base = start - 200;
        h.series[level].append(start - 100, 10);
        h.series[level].append(start - 50, 20);
        h.series[door].base = start - 200;
        h.series[door].append(start - 50, 1);
        h.skippedLines = 3;
        return h;
    }

    void poll(int64_t at, int32_t levelRaw, int32_t doorRaw) {
        now = at;
        recorder.polledValue(*tank, TrendKind::Analog, 0, levelRaw);
        recorder.polledValue(*tank, TrendKind::DigitalInput, 1, doorRaw);
    }

    const int64_t start = 1'773'500'000;
    int64_t now = start;
    ControllerTable table;
    SharedControllers controllers{table};
    TrendRecorder recorder{[this] { return now; }, 8, 100};
    CQUORVISData* tank = nullptr;
    const TrendChannel level{kId, TrendKind::Analog, 0};
    const TrendChannel door{kId, TrendKind::DigitalInput, 1};
    int reads = 0;
    int64_t readFrom = 0, readTo = 0;
    TrendSession session{
        controllers, recorder,
        [this](const CQUORVISData&, int64_t from, int64_t to) { return history(from, to); }};
};

TEST_F(TrendSessionTest, TheLogsHistoryLeadsIntoTheRecordedSamples) {
    ASSERT_TRUE(session.choose(level));
    ASSERT_TRUE(session.choose(door));
    poll(start, 30, 0);
    poll(start + 1, 40, 1);
    session.setPeriod(chosenPeriod(start - 120, start + 60));
    const std::vector<TrendLine> lines = session.lines(800);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(readFrom, start - 120);
    EXPECT_EQ(readTo, start - 1) << "the recorder holds everything from its start";
    EXPECT_EQ(lines[0].name, "Tank, east Level [cm]");
    const auto ms = [&](int64_t s) { return static_cast<double>(s) * 1000.0; };
    EXPECT_EQ(
        lines[0].points,
        (QList<QPointF>{
            {ms(start - 100), 10}, {ms(start - 50), 20}, {ms(start), 30}, {ms(start + 1), 40}}));
    EXPECT_TRUE(lines[1].steps);
    EXPECT_EQ(lines[1].points, (QList<QPointF>{{ms(start - 50), 1},
                                               {ms(start), 1},
                                               {ms(start), 0},
                                               {ms(start + 1), 0},
                                               {ms(start + 1), 1}}));
    EXPECT_EQ(session.skippedLines(), 3);

    const std::vector<TrendReading> early = session.readings(start - 60);
    ASSERT_EQ(early.size(), 2u);
    EXPECT_EQ(early[0].name, "Tank, east Level");
    EXPECT_EQ(early[0].value, "10.00cm");
    EXPECT_EQ(early[1].value, "") << "no value of the door before its first entry";
    EXPECT_EQ(session.readings(start + 30)[0].value, "40.00cm");

    session.drop(door);
    EXPECT_EQ(session.lines(800).size(), 1u);
    EXPECT_EQ(reads, 1) << "the same period reads the files once";
}

TEST_F(TrendSessionTest, ALivePeriodReadsTheFilesOnceAndFollowsThePresent) {
    ASSERT_TRUE(session.choose(level));
    session.setPeriod(lastPeriod(start, 3600));
    for (int s = 0; s < 30; ++s) {
        poll(start + s, s, 0);
        session.follow();
        session.lines(400);
    }
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(session.period(), (TrendPeriod{start + 29 - 3600, start + 29, true}));
    EXPECT_EQ(session.lines(400)[0].points.size(), 32) << "two from the log, thirty polled";
}

TEST_F(TrendSessionTest, TheCsvHoldsEverySampleOfThePeriodByTime) {
    ASSERT_TRUE(session.choose(level));
    ASSERT_TRUE(session.choose(door));
    poll(start, 4095, 1);
    now = start + 2;
    recorder.polledValue(*tank, TrendKind::Analog, 0, 1);
    session.setPeriod(chosenPeriod(start - 60, start + 60));
    const auto time = [](int64_t s) {
        return QDateTime::fromSecsSinceEpoch(s).toString("yyyy-MM-dd hh:mm:ss").toUtf8();
    };
    const QByteArray expected = "Time,\"Tank, east Level [cm]\",\"Tank, east Door\"\r\n" +
                                time(start - 50) + ",20.00,1\r\n" + time(start) + ",4095.00,1\r\n" +
                                time(start + 2) + ",1.00,\r\n";
    EXPECT_EQ(session.csv().toStdString(), expected.toStdString());
}

TEST_F(TrendSessionTest, ChannelsBeyondTheRecordersLimitAreRefused) {
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(session.choose({kId + 1 + i, TrendKind::Analog, 0}));
    EXPECT_FALSE(session.choose(level));
    EXPECT_FALSE(session.chosen(level));
    EXPECT_TRUE(session.lines(100).empty()) << "controllers not in the table draw nothing";
}

} // namespace
} // namespace iomira
