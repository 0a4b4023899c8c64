// The window plan of a group switch: which windows are reused, opened and hidden.

#include "app/controller_windows_plan.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

using K = ViewKind;

TEST(WindowPlan, GroupSwitchReusesWindowsOfEachKind) {
    // Group A: three digital controllers (a generic one and two RLX-830 share the kind).
    const WindowPlan first = planGroupWindows({{1, 0}, {2, 3}, {3, 0}}, {});
    EXPECT_EQ(first.open, (std::vector<int>{1, 2, 3}));
    // Group B: one digital, one RLX-850, with A's three digital windows open.
    const WindowPlan second =
        planGroupWindows({{7, 4}, {8, 0}}, {K::Digital, K::Digital, K::Digital});
    ASSERT_EQ(second.retarget.size(), 1u);
    EXPECT_EQ(second.retarget[0].window, 0);
    EXPECT_EQ(second.retarget[0].deviceId, 8);
    EXPECT_EQ(second.open, std::vector<int>{7});
    EXPECT_EQ(second.hide, (std::vector<int>{1, 2}));
    // Back to A: the three digital windows serve A again, the RLX-850 window hides.
    const WindowPlan back =
        planGroupWindows({{1, 0}, {2, 3}, {3, 0}}, {K::Digital, K::Digital, K::Digital, K::Rlx850});
    EXPECT_EQ(back.retarget.size(), 3u);
    EXPECT_TRUE(back.open.empty());
    EXPECT_EQ(back.hide, std::vector<int>{3});
    EXPECT_EQ(viewKindOf(1), K::Analog);
    EXPECT_EQ(viewKindOf(5), K::Rlx840);
    EXPECT_EQ(viewKindOf(2), K::Rlx820);
}

} // namespace
} // namespace iomira
