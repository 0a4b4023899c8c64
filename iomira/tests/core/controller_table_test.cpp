#include "common/test_support.h"
#include "core/controller_table.h"
#include "core/root_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace iomira {
namespace {

std::unique_ptr<CQUORVISData> controller(int id, int root, int index) {
    auto r = std::make_unique<CQUORVISData>();
    r->DeviceId = id;
    r->RootID = root;
    r->Index = index;
    return r;
}

struct SavedIndex {
    int id, index;
    bool operator==(const SavedIndex&) const = default;
};

class ControllerTableTest : public ::testing::Test {
  protected:
    ControllerTableTest()
        : table([this](const CQUORVISData& r) {
              saved.push_back({r.DeviceId, r.Index});
          }) {
        // Group 7 holds 10, 11, 12 at positions 0, 1, 2; group 8 holds 20 and 21.
        table.insert(controller(10, 7, 0));
        table.insert(controller(11, 7, 1));
        table.insert(controller(12, 7, 2));
        table.insert(controller(20, 8, 0));
        table.insert(controller(21, 8, 1));
    }
    std::vector<SavedIndex> saved;
    ControllerTable table;
};

TEST_F(ControllerTableTest, RemovingAMiddleControllerKeepsPositionsDense) {
    table.RemoveController(11, true);
    EXPECT_EQ(table.find(11), nullptr);
    EXPECT_EQ(table.CountInGroup(7), 2);
    EXPECT_EQ(table.FindInGroup(7, 0)->DeviceId, 10);
    EXPECT_EQ(table.FindInGroup(7, 1)->DeviceId, 12);
    EXPECT_EQ(table.FindInGroup(7, 2), nullptr);
    EXPECT_EQ(saved, (std::vector<SavedIndex>{{12, 1}}));
    EXPECT_EQ(table.FindInGroup(8, 1)->DeviceId, 21);
}

TEST_F(ControllerTableTest, RemovingWithoutSaveShiftsButWritesNothing) {
    table.RemoveController(10, false);
    EXPECT_EQ(table.FindInGroup(7, 0)->DeviceId, 11);
    EXPECT_EQ(table.FindInGroup(7, 1)->DeviceId, 12);
    EXPECT_TRUE(saved.empty());
    table.RemoveController(999, true);
    EXPECT_EQ(table.size(), 4);
}

TEST_F(ControllerTableTest, ClosingAGapShiftsAndSavesLaterPositions) {
    // Controller 10 moves to group 8 at its end; group 7 closes the gap it left.
    CQUORVISData* moved = table.find(10);
    moved->RootID = 8;
    moved->Index = table.CountInGroup(8) - 1;
    table.CloseGroupGap(7, 0);
    EXPECT_EQ(table.FindInGroup(7, 0)->DeviceId, 11);
    EXPECT_EQ(table.FindInGroup(7, 1)->DeviceId, 12);
    EXPECT_EQ(saved, (std::vector<SavedIndex>{{11, 0}, {12, 1}}));
}

TEST_F(ControllerTableTest, PositionalLookups) {
    EXPECT_EQ(table.CountInGroup(8), 2);
    EXPECT_EQ(table.CountInGroup(99), 0);
    // A walk by DeviceId visits each controller once, in order, across a deletion.
    std::vector<int> walked;
    for (const CQUORVISData* c = table.ControllerAfter(INT_MIN); c;
         c = table.ControllerAfter(walked.back())) {
        walked.push_back(c->DeviceId);
        if (c->DeviceId == 11) table.RemoveController(12, false);
    }
    EXPECT_EQ(walked.size(), 4u);
    EXPECT_TRUE(std::is_sorted(walked.begin(), walked.end()));
    EXPECT_EQ(std::count(walked.begin(), walked.end(), 12), 0);
    // A group's members by position, as FindInGroup finds them one by one: a repeated
    // position keeps its first holder and an unheld one stays empty.
    table.insert(controller(13, 7, 1));
    table.insert(controller(14, 7, 9));
    const std::vector<CQUORVISData*> members = table.GroupMembers(7);
    ASSERT_EQ(members.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(members[size_t(i)], table.FindInGroup(7, i)) << i;
    EXPECT_EQ(members[1]->DeviceId, 11);
    EXPECT_EQ(members[3], nullptr);
    EXPECT_TRUE(table.GroupMembers(99).empty());
    const auto everyGroup = table.EveryGroupsMembers();
    EXPECT_EQ(everyGroup.size(), 2u);
    EXPECT_EQ(everyGroup.at(7), members);
    EXPECT_EQ(everyGroup.at(8), table.GroupMembers(8));
    EXPECT_FALSE(table.insert(controller(10, 1, 0)));
    EXPECT_EQ(table.find(10)->RootID, 7);
}

TEST(ControllerIds, TwoControllersInOneSecondGetDifferentIds) {
    ControllerTable table;
    for (int i = 0; i < 50; ++i) {
        const int id = table.NewDeviceId();
        ASSERT_GE(id, 0);
        ASSERT_LE(id, 32767);
        ASSERT_TRUE(table.insert(controller(id, 0, i)));
    }
    EXPECT_EQ(table.size(), 50);
}

class GroupListTest : public ::testing::Test {
  protected:
    GroupListTest() : groups([this](const CROOTData& g) { saved.push_back({g.RootID, g.Index}); }) {
        groups.insert(std::make_unique<CROOTData>(5, "Group", 0));
        groups.insert(std::make_unique<CROOTData>(9, "Hall", 1));
        groups.insert(std::make_unique<CROOTData>(2, "Roof", 2));
        groups.insert(std::make_unique<CROOTData>(4, "Hall", 3));
    }
    std::vector<SavedIndex> saved;
    CROOTDataList groups;
};

TEST_F(GroupListTest, FindsByPositionAndExactName) {
    EXPECT_EQ(groups.GroupAt(2)->RootID, 2);
    EXPECT_EQ(groups.GroupAt(4), nullptr);
    EXPECT_EQ(groups.FindGroupByName("hall"), nullptr);
    EXPECT_EQ(groups.FindGroupByName("Hall")->RootID, 4); // first in table order
}

TEST_F(GroupListTest, RemovingAGroupShiftsAndSavesTheLaterOnes) {
    groups.RemoveGroup(9);
    EXPECT_EQ(groups.find(9), nullptr);
    EXPECT_EQ(groups.GroupAt(1)->RootID, 2);
    EXPECT_EQ(groups.GroupAt(2)->RootID, 4);
    EXPECT_EQ(saved, (std::vector<SavedIndex>{{2, 1}, {4, 2}}));
}

TEST(GroupIds, NewIdsStayInRangeAndTheLastFreeOneIsFound) {
    CROOTDataList groups;
    for (int id = 0; id <= kMaxGroupId; ++id) {
        if (id != 1234) groups.insert(std::make_unique<CROOTData>(id, "g", id));
    }
    EXPECT_EQ(groups.NewGroupId(), 1234);
    groups.insert(std::make_unique<CROOTData>(1234, "g", 4001));
    EXPECT_EQ(groups.NewGroupId(), -1); // the 4002nd group is refused, not looped on
    EXPECT_FALSE(groupIdsExhaustedText().isEmpty());
}

TEST(GroupIds, DrawnIdsAreUniqueAndAtMost4000) {
    CROOTDataList groups;
    for (int i = 0; i < 200; ++i) {
        const int id = groups.NewGroupId();
        ASSERT_GE(id, 0);
        ASSERT_LE(id, kMaxGroupId);
        ASSERT_EQ(groups.find(id), nullptr);
        groups.insert(std::make_unique<CROOTData>(id, "g", i));
    }
}

} // namespace
} // namespace iomira
