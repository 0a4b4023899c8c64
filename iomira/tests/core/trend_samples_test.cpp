// The trend's sample stores: the ring's fixed bound and its wrap-around, time-range queries at
// their edges, times that run backwards, and the decimation that keeps every extreme.

#include "core/sample_ring.h"
#include "core/trend_decimation.h"

#include <gtest/gtest.h>

#include <vector>

namespace iomira {
namespace {

constexpr int64_t kBase = 1'760'000'000; // a time in 2025

std::vector<TimedSample> samplesOf(const SampleView& view) {
    std::vector<TimedSample> out;
    for (size_t i = 0; i < view.size(); ++i)
        out.push_back(view.at(i));
    return out;
}

TEST(SampleRing, HoldsADayAndOverwritesTheOldestAfterIt) {
    SampleRing ring(kBase - 10);
    EXPECT_EQ(ring.capacity(), 86400u);
    EXPECT_EQ(ring.memoryBytes(), 86400u * 8);
    const int64_t total = 86400 + 1234;
    for (int64_t s = 0; s < total; ++s) {
        if (s == 86400) {
            EXPECT_EQ(ring.completeFrom(), kBase - 10) << "nothing lost yet";
        }
        ring.append(kBase + s, static_cast<int32_t>(s % 4096));
    }
    EXPECT_EQ(ring.completeFrom(), kBase + 1234);
    EXPECT_EQ(ring.size(), 86400u);
    EXPECT_EQ(ring.memoryBytes(), 86400u * 8) << "the ring never grows";
    const SampleView all = ring.all();
    ASSERT_EQ(all.size(), 86400u);
    // The oldest kept is the first not overwritten; times and values run on without a seam.
    for (size_t i = 0; i < all.size(); ++i) {
        const int64_t s = 1234 + static_cast<int64_t>(i);
        ASSERT_EQ(all.at(i), (TimedSample{kBase + s, static_cast<int32_t>(s % 4096)})) << i;
    }
}

TEST(SampleRing, RangesAcrossTheSeamAndAtTheEdges) {
    SampleRing ring(kBase, 10);
    for (int s = 0; s < 14; ++s)
        ring.append(kBase + 10 * s, s); // keeps s = 4..13
    const auto range = [&](int64_t from, int64_t to) {
        std::vector<int32_t> raws;
        for (const TimedSample& t : samplesOf(ring.between(kBase + from, kBase + to)))
            raws.push_back(t.raw);
        return raws;
    };
    EXPECT_EQ(range(40, 130), (std::vector<int32_t>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(range(50, 50), (std::vector<int32_t>{5})) << "both ends belong to the range";
    EXPECT_EQ(range(51, 59), (std::vector<int32_t>{})) << "between two samples";
    EXPECT_EQ(range(55, 105), (std::vector<int32_t>{6, 7, 8, 9, 10})) << "across the seam";
    EXPECT_EQ(range(0, 39), (std::vector<int32_t>{})) << "before the oldest kept";
    EXPECT_EQ(range(-100, 40), (std::vector<int32_t>{4}));
    EXPECT_EQ(range(130, 10'000), (std::vector<int32_t>{13}));
    EXPECT_EQ(range(131, 10'000), (std::vector<int32_t>{}));
    EXPECT_EQ(range(90, 80), (std::vector<int32_t>{})) << "an empty range";
}

TEST(SampleRing, TimesNeverRunBackwards) {
    SampleRing ring(kBase, 4);
    ring.append(kBase - 50, 1); // before the ring began: its first moment
    ring.append(kBase + 20, 2);
    ring.append(kBase + 5, 3); // the clock was set back
    ring.append(kBase + 21, 4);
    EXPECT_EQ(
        samplesOf(ring.all()),
        (std::vector<TimedSample>{{kBase, 1}, {kBase + 20, 2}, {kBase + 20, 3}, {kBase + 21, 4}}));
    SampleSeries series{kBase, {}};
    series.append(kBase + 7, -5);
    series.append(kBase + 3, 6);
    EXPECT_EQ(samplesOf(series.view()),
              (std::vector<TimedSample>{{kBase + 7, -5}, {kBase + 7, 6}}));
}

TEST(Decimation, KeepsTheLowestAndHighestOfEveryColumnInTheirOrder) {
    SampleRing ring(kBase);
    for (int s = 0; s < 86400; ++s)
        ring.append(kBase + s, 1000);
    // A one-second spike up, a one-second dip, both deep inside their columns.
    SampleRing spiky(kBase);
    for (int s = 0; s < 86400; ++s)
        spiky.append(kBase + s, s == 40'321 ? 4095 : s == 70'007 ? -3 : 1000);
    const std::vector<TimedSample> flat =
        decimate(ring.all(), kBase, kBase + 86399, 800, RawOrder::Signed);
    EXPECT_EQ(flat.size(), 800u) << "one point a column where nothing changes";
    const std::vector<TimedSample> shown =
        decimate(spiky.all(), kBase, kBase + 86399, 800, RawOrder::Signed);
    EXPECT_LE(shown.size(), 1600u);
    const auto has = [&](TimedSample wanted) {
        for (const TimedSample& t : shown)
            if (t == wanted) return true;
        return false;
    };
    EXPECT_TRUE(has({kBase + 40'321, 4095}));
    EXPECT_TRUE(has({kBase + 70'007, -3}));
    for (size_t i = 1; i < shown.size(); ++i)
        ASSERT_LT(shown[i - 1].seconds, shown[i].seconds) << "in time order";
}

TEST(Decimation, CountersCompareUnsignedAndShortRangesComeBackWhole) {
    SampleSeries series{kBase, {}};
    // 3,000,000,000 is negative as a signed 32-bit raw value.
    const int32_t big = static_cast<int32_t>(3'000'000'000u);
    for (int s = 0; s < 100; ++s)
        series.append(kBase + s, s == 50 ? big : s == 20 ? 3 : 7);
    const std::vector<TimedSample> one =
        decimate(series.view(), kBase, kBase + 99, 1, RawOrder::Unsigned);
    EXPECT_EQ(one, (std::vector<TimedSample>{{kBase + 20, 3}, {kBase + 50, big}}));
    const std::vector<TimedSample> signedOne =
        decimate(series.view(), kBase, kBase + 99, 1, RawOrder::Signed);
    EXPECT_EQ(signedOne, (std::vector<TimedSample>{{kBase, 7}, {kBase + 50, big}}));
    const std::vector<TimedSample> whole =
        decimate(series.view(), kBase + 10, kBase + 19, 5, RawOrder::Unsigned);
    ASSERT_EQ(whole.size(), 10u);
    EXPECT_EQ(whole.front(), (TimedSample{kBase + 10, 7}));
    EXPECT_TRUE(decimate(SampleView(), kBase, kBase + 10, 5, RawOrder::Signed).empty());
}

} // namespace
} // namespace iomira
