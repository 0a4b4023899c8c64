// What a trend offers and how its period moves: the channels each family's polls bring, their
// names and colours, and zooming and panning of the shown period.

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/trend_channels.h"
#include "core/trend_period.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

CQUORVISData recordOf(const char* model) {
    CQUORVISData c = recordForModel(QString::fromLatin1(model));
    c.DeviceId = 77;
    return c;
}

int countOf(const std::vector<TrendChannel>& channels, TrendKind kind) {
    int n = 0;
    for (const TrendChannel& ch : channels)
        n += ch.kind == kind && ch.deviceId == 77;
    return n;
}

TEST(TrendChannels, EachFamilyOffersWhatItsPollsBring) {
    struct Case {
        const char* model;
        int analog, temperature, counters, inputs, outputs;
    };
    const Case cases[] = {{"RLX-850", 4, 0, 2, 4, 4}, {"RLX-840", 0, 1, 0, 0, 0},
                          {"RLX-810", 4, 0, 0, 0, 0}, {"RLX-820", 0, 0, 2, 4, 0},
                          {"RLX-830", 0, 0, 0, 0, 2}, {"TKA-31", 0, 0, 0, 8, 8},
                          {"TKA-33", 0, 0, 0, 2, 1}};
    for (const Case& k : cases) {
        CQUORVISData c = recordOf(k.model);
        c.DiCounter = {1, 0, 1, 0}; // inputs 1 and 3 count
        const std::vector<TrendChannel> all = trendChannelsOf(c);
        EXPECT_EQ(countOf(all, TrendKind::Analog), k.analog) << k.model;
        EXPECT_EQ(countOf(all, TrendKind::Temperature), k.temperature) << k.model;
        EXPECT_EQ(countOf(all, TrendKind::Counter), k.counters) << k.model;
        EXPECT_EQ(countOf(all, TrendKind::DigitalInput), k.inputs) << k.model;
        EXPECT_EQ(countOf(all, TrendKind::DigitalOutput), k.outputs) << k.model;
    }
    CQUORVISData c = recordOf("RLX-850");
    c.DiCounter = {0, 0, 0, 1};
    const std::vector<TrendChannel> all = trendChannelsOf(c);
    ASSERT_EQ(all.size(), 13u);
    EXPECT_EQ(all[4], (TrendChannel{77, TrendKind::Counter, 3}));
    EXPECT_EQ(all.back(), (TrendChannel{77, TrendKind::DigitalOutput, 3}));
    EXPECT_EQ(firstTrendChannelsOf(c).size(), 4u) << "an RLX-850 opens on its analog channels";
    EXPECT_EQ(firstTrendChannelsOf(recordOf("RLX-840")).size(), 1u);
    EXPECT_EQ(firstTrendChannelsOf(recordOf("TKA-33")).size(), 3u) << "ports where nothing else";
}

TEST(TrendChannels, NamesCarryTheOperatorsNamesInTheChosenLanguage) {
    setLanguage(LANG_ENGLISH);
    CQUORVISData c = recordOf("RLX-850");
    c.AIName = {};
    c.DiComment = {};
    c.DoComment = {};
    c.AIName[1] = "Level";
    c.DiComment[0] = " Door ";
    c.DoComment[3] = "Pump";
    EXPECT_EQ(trendChannelName(c, {77, TrendKind::Analog, 1}), "Level");
    EXPECT_EQ(trendChannelName(c, {77, TrendKind::Analog, 0}), "AI1");
    EXPECT_EQ(trendChannelName(c, {77, TrendKind::DigitalInput, 0}), "Door");
    EXPECT_EQ(trendChannelName(c, {77, TrendKind::DigitalInput, 1}), "DI2");
    EXPECT_EQ(trendChannelName(c, {77, TrendKind::Counter, 0}), "Counter 1 Door");
    EXPECT_EQ(trendChannelName(c, {77, TrendKind::DigitalOutput, 3}), "Pump");
    CQUORVISData t = recordOf("RLX-840");
    t.AIName[0].clear();
    EXPECT_EQ(trendChannelName(t, {77, TrendKind::Temperature, 0}), "Temperature");
    setLanguage(LANG_KOREAN);
    EXPECT_EQ(trendChannelName(c, {77, TrendKind::Counter, 1}), QString::fromUtf8("카운터 2"));
    setLanguage(LANG_ENGLISH);
}

TEST(TrendChannels, ColoursFollowTheChannelsForegroundWhereOneWasChosen) {
    CQUORVISData c = recordOf("RLX-850");
    c.AIFgColor[2] = 0x00332211; // 0x00BBGGRR
    EXPECT_EQ(trendColor(c, {77, TrendKind::Analog, 2}, 0), 0x112233u);
    const uint32_t first = trendColor(c, {77, TrendKind::Analog, 0}, 0);
    const uint32_t second = trendColor(c, {77, TrendKind::Analog, 1}, 1);
    EXPECT_NE(first, second) << "defaults differ from one line to the next";
    EXPECT_EQ(trendColor(c, {77, TrendKind::DigitalInput, 2}, 1), second)
        << "ports never take an analog channel's colour";
    // Two channels of the same chosen colour: the second line takes a free one.
    c.AIFgColor[3] = 0x00332211;
    const uint32_t again = trendColor(c, {77, TrendKind::Analog, 3}, 3, {0x112233u});
    EXPECT_NE(again, 0x112233u);
    EXPECT_NE(trendColor(c, {77, TrendKind::Analog, 0}, 0, {first}), first);
}

TEST(TrendPeriods, ZoomKeepsTheAnchorAndPanningLeavesThePresent) {
    const TrendPeriod hour = lastPeriod(10'000, 3600);
    EXPECT_EQ(hour, (TrendPeriod{6400, 10'000, true}));
    EXPECT_EQ(followed(hour, 10'005), (TrendPeriod{6405, 10'005, true}));
    const TrendPeriod in = zoomed(hour, 0.5, 7300); // a quarter in
    EXPECT_EQ(in, (TrendPeriod{6850, 8650, false}));
    EXPECT_EQ(followed(in, 20'000), in) << "a zoomed period stays where it is";
    EXPECT_EQ(zoomed(hour, 1e-9, 8200).length(), kTrendShortestPeriod);
    EXPECT_EQ(zoomed(hour, 1e9, 8200).length(), kTrendLongestPeriod);
    EXPECT_EQ(panned(hour, -600), (TrendPeriod{5800, 9400, false}));
    EXPECT_EQ(chosenPeriod(9000, 5000), (TrendPeriod{5000, 9000, false}));
    EXPECT_EQ(chosenPeriod(5000, 5001).length(), kTrendShortestPeriod);
    EXPECT_EQ(lastPeriod(10'000, 0).length(), kTrendShortestPeriod);
}

} // namespace
} // namespace iomira
