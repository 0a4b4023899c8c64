// The trend's recorder fed by real polls of simulated controllers: the watched channels get
// every value at the recorder's time, unwatched ones cost nothing, and the values scale to
// exactly what the controller windows show for the same record and registers.

#include "monitor/polling_rig.h"

#include "core/device_family.h"
#include "core/string_table.h"
#include "monitor/controller_commands.h"
#include "monitor/initial_read.h"
#include "monitor/temperature_text.h"
#include "monitor/trend_points.h"
#include "monitor/trend_recorder.h"
#include "monitor/trend_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace iomira {
namespace {

using test::pumpUntil;

constexpr int64_t kBase = 1'760'000'000;

class TrendRecording : public ::testing::Test {
  protected:
    TrendRecording()
        : rig(test::simDevice("r850", "RLX-850", "unit_id = 255\n") +
              test::simDevice("r840", "RLX-840", "unit_id = 255\n")) {
        setLanguage(LANG_ENGLISH);
        rig.handler.setValueListener(&trends);
    }

    CQUORVISData& connect(const std::string& device, const QString& model) {
        CQUORVISData& c = rig.add(device, model, QString::fromStdString(device));
        rig.connections.connectAtStartup(c);
        EXPECT_TRUE(rig.waitState(c, TCP_ESTABLISHED));
        return c;
    }

    std::optional<TimedSample> last(const TrendChannel& channel) const {
        const SampleView view = trends.samples(channel);
        if (view.empty()) return std::nullopt;
        return view.at(view.size() - 1);
    }

    // Polls once at `seconds` and waits until every channel's newest sample is that poll's.
    bool pollAt(const CQUORVISData& c, int64_t seconds, const std::vector<TrendChannel>& all) {
        now = seconds;
        pollController(c, rig.files.monitorLog);
        return pumpUntil([&] {
            for (const TrendChannel& channel : all)
                if (!last(channel) || last(channel)->seconds != seconds) return false;
            return true;
        });
    }

    test::MonitorRig rig;
    int64_t now = kBase;
    TrendRecorder trends{[this] { return now; }};
};

TEST_F(TrendRecording, WatchedChannelsGetEveryPolledValueScaledAsTheWindowShowsIt) {
    CQUORVISData& c = connect("r850", "RLX-850");
    ASSERT_TRUE(pumpUntil([&] { return c.OutputsValid == 1 && c.InputsValid == 1; }));
    c.AIMin = {"0", "4", "-5.5", "1e999"};
    c.AIMax = {"10", "20", "5.5", "10"};
    c.AIUnit = {"m", "mA", "V", "%"};
    std::vector<TrendChannel> watched;
    for (int ch = 0; ch < kAnalogChannels; ++ch)
        watched.push_back({c.DeviceId, TrendKind::Analog, ch});
    watched.push_back({c.DeviceId, TrendKind::Counter, 1});
    watched.push_back({c.DeviceId, TrendKind::DigitalInput, 2});
    watched.push_back({c.DeviceId, TrendKind::DigitalOutput, 0});
    for (const TrendChannel& channel : watched)
        ASSERT_TRUE(trends.watch(channel));

    rig.sim.command("analog r850 0 4095");
    rig.sim.command("analog r850 1 1000");
    rig.sim.command("analog r850 2 2048");
    rig.sim.command("analog r850 3 65535");
    rig.sim.command("counter r850 1 4000000000");
    rig.sim.command("input r850 2 1");
    rig.sim.command("output r850 0 1");
    ASSERT_TRUE(pollAt(c, kBase + 5, watched));

    const ControllerCommands window(c, &rig.files.monitorLog);
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        const TrendScale scale = trendScale(c, TrendKind::Analog, ch);
        const int32_t raw = last(watched[ch])->raw;
        EXPECT_EQ(scale.text(raw) + c.AIUnit[ch] + QLatin1Char(' '), window.analog(ch).value)
            << "channel " << ch;
        EXPECT_DOUBLE_EQ(scale.value(raw), scale.text(raw).toDouble());
    }
    EXPECT_EQ(last(watched[1])->raw, 1000);
    EXPECT_EQ(trendScale(c, TrendKind::Analog, 1).text(1000), "7.91");
    const TrendScale counter = trendScale(c, TrendKind::Counter, 1);
    EXPECT_EQ(counter.text(last(watched[4])->raw), "4000000000");
    EXPECT_DOUBLE_EQ(counter.value(last(watched[4])->raw), 4'000'000'000.0);
    EXPECT_EQ(last(watched[5])->raw, 1);
    EXPECT_EQ(last(watched[6])->raw, 1);

    rig.sim.command("input r850 2 0");
    rig.sim.command("analog r850 0 0");
    ASSERT_TRUE(pollAt(c, kBase + 6, watched));
    EXPECT_EQ(last(watched[5])->raw, 0);
    EXPECT_EQ(last(watched[0])->raw, 0);
    EXPECT_EQ(trends.samples(watched[0]).between(kBase + 5, kBase + 6).size(), 2u);

    EXPECT_EQ(trends.channelCount(), watched.size()) << "channels nobody chose are not kept";
    EXPECT_TRUE(trends.samples({c.DeviceId, TrendKind::Counter, 0}).empty());
}

TEST_F(TrendRecording, TemperaturesAreShownInDegreesAndSensorErrorsAreSkipped) {
    CQUORVISData& c = connect("r840", "RLX-840");
    c.PollingInput = 1;
    const TrendChannel temperature{c.DeviceId, TrendKind::Temperature, 0};
    ASSERT_TRUE(trends.watch(temperature));
    rig.sim.command("temp r840 -12.3");
    const TrendScale scale = trendScale(c, TrendKind::Temperature, 0);
    // A late answer to the reads made at connecting may still bring the value before it.
    now = kBase + 1;
    pollController(c, rig.files.monitorLog);
    ASSERT_TRUE(pumpUntil([&] {
        return last(temperature) && std::abs(scale.value(last(temperature)->raw) + 12.3) < 1e-9;
    }));
    ControllerCommands window(c, &rig.files.monitorLog);
    EXPECT_EQ(scale.text(last(temperature)->raw) + temperatureUnit(0), window.temperature().value);
    EXPECT_DOUBLE_EQ(scale.value(last(temperature)->raw), -12.3);

    // The error codes come in their own answer after the values: from the poll that brings
    // them on, the register's stale value is left out.
    rig.sim.command("error r840 0 3");
    now = kBase + 2;
    pollController(c, rig.files.monitorLog);
    ASSERT_TRUE(pumpUntil([&] { return !window.temperature().sensorError.isEmpty(); }));
    test::pumpFor(100);
    const size_t before = trends.samples(temperature).size();
    now = kBase + 3;
    pollController(c, rig.files.monitorLog);
    test::pumpFor(300);
    EXPECT_EQ(trends.samples(temperature).size(), before);

    rig.sim.command("error r840 0 0");
    rig.sim.command("temp r840 21.5");
    now = kBase + 4;
    pollController(c, rig.files.monitorLog);
    ASSERT_TRUE(pumpUntil([&] { return window.temperature().sensorError.isEmpty(); }));
    now = kBase + 5;
    ASSERT_TRUE(pollAt(c, kBase + 5, {temperature}));
    EXPECT_DOUBLE_EQ(scale.value(last(temperature)->raw), 21.5);
}

TEST(TrendRecorder, StopsTakingChannelsAtItsLimit) {
    TrendRecorder trends([] { return kBase; }, 2, 16);
    EXPECT_TRUE(trends.watch({1, TrendKind::Analog, 0}));
    EXPECT_TRUE(trends.watch({1, TrendKind::Analog, 1}));
    EXPECT_TRUE(trends.watch({1, TrendKind::Analog, 0})) << "already recorded";
    EXPECT_FALSE(trends.watch({2, TrendKind::Analog, 0}));
    CQUORVISData c;
    c.DeviceId = 2;
    trends.polledValue(c, TrendKind::Analog, 0, 5);
    EXPECT_EQ(trends.channelCount(), 2u);
    EXPECT_TRUE(trends.samples({2, TrendKind::Analog, 0}).empty());
}

TEST(TrendPoints, PortsHoldTheirValueUntilTheNextSampleAndLinesRunStraight) {
    const std::vector<TimedSample> samples = {{100, 0}, {101, 0}, {105, 1}, {107, 0}};
    const TrendScale port{TrendKind::DigitalInput, {}, {}};
    EXPECT_EQ(
        trendPoints(samples, port),
        (QList<QPointF>{
            {100'000, 0}, {101'000, 0}, {105'000, 0}, {105'000, 1}, {107'000, 1}, {107'000, 0}}));
    const TrendScale analog{TrendKind::Analog, analogRange("0", "4095"), {}};
    const std::vector<TimedSample> values = {{100, 0}, {105, 4095}};
    EXPECT_EQ(trendPoints(values, analog), (QList<QPointF>{{100'000, 0}, {105'000, 4095}}));
}

} // namespace
} // namespace iomira
