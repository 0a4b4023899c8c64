// Groups of at most 30 controllers: the start-up split and placing controllers by group name,
// checked in the store as well as in memory.

#include "common/test_support.h"

#include "app/group_arranger.h"
#include "core/controller_keys.h"
#include "core/controller_table.h"
#include "core/group_store.h"
#include "core/root_data.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

class Arranging : public ::testing::Test {
  protected:
    void SetUp() override {
        groups.setSaver([this](const CROOTData& g) { saveGroup(*files.store, g); });
        addGroup(7, "Plant", 0);
        callbacks.groupAdded = [this](const CROOTData& g) { added << g.RootName; };
        callbacks.controllerVisited = [this](CQUORVISData& c) { visited.push_back(c.DeviceId); };
    }
    void addGroup(int id, const QString& name, int index) {
        groups.insert(std::make_unique<CROOTData>(id, name, index));
        saveGroup(*files.store, *groups.find(id));
    }
    void fill(int rootId, int count, int firstId = 100) {
        for (int i = 0; i < count; ++i) {
            auto c = std::make_unique<CQUORVISData>();
            c->DeviceId = firstId + i;
            c->RootID = rootId;
            c->Index = i;
            saveController(*files.store, *c);
            table.insert(std::move(c));
        }
    }
    GroupArranger arranger() { return GroupArranger(table, groups, *files.store, callbacks); }
    KeyValues stored(const QString& key) {
        KeyValues values;
        files.store->readKey(key, values);
        return values;
    }

    test::TempStore files;
    ControllerTable table;
    CROOTDataList groups;
    GroupArranger::Callbacks callbacks;
    QStringList added;
    std::vector<int> visited;
};

TEST_F(Arranging, ThirtyOneControllersSplitIntoANewGroup) {
    fill(7, 31);
    arranger().splitAtStartup();
    ASSERT_EQ(added, QStringList{"Plant(1)"});
    const CROOTData* extra = groups.FindGroupByName("Plant(1)");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->Index, 1);
    EXPECT_EQ(table.CountInGroup(7), 30);
    EXPECT_EQ(table.CountInGroup(extra->RootID), 1);
    EXPECT_EQ(table.find(130)->RootID, extra->RootID);
    EXPECT_EQ(table.find(130)->Index, 0);
    // Both the moved controller and the new group are in the store.
    EXPECT_EQ(stored(controllerKeyName(130)).dword("RootID", -1), extra->RootID);
    EXPECT_EQ(stored(controllerKeyName(130)).dword("Index", -1), 0);
    EXPECT_EQ(stored(groupKeyName(extra->RootID)).text("RootName"), "Plant(1)");
    EXPECT_EQ(stored(controllerKeyName(129)).dword("RootID", -1), 7);
    EXPECT_EQ(visited.size(), 31u);
}

TEST_F(Arranging, SeventyFiveControllersMakeThreeGroups) {
    fill(7, 75);
    arranger().splitAtStartup();
    EXPECT_EQ(added, (QStringList{"Plant(1)", "Plant(2)"}));
    EXPECT_EQ(table.CountInGroup(7), 30);
    EXPECT_EQ(table.CountInGroup(groups.FindGroupByName("Plant(1)")->RootID), 30);
    EXPECT_EQ(table.CountInGroup(groups.FindGroupByName("Plant(2)")->RootID), 15);
    // Positions in each new group run from 0 without gaps.
    const int second = groups.FindGroupByName("Plant(2)")->RootID;
    for (int i = 0; i < 15; ++i)
        EXPECT_NE(table.FindInGroup(second, i), nullptr) << i;
}

TEST_F(Arranging, GroupsMadeBySplittingAreNotWalkedAgain) {
    addGroup(9, "Yard", 1);
    fill(7, 30, 100);
    fill(9, 61, 200);
    arranger().splitAtStartup();
    EXPECT_EQ(added, (QStringList{"Yard(1)", "Yard(2)"}));
    EXPECT_EQ(visited.size(), 91u);
    EXPECT_EQ(groups.size(), 4);
}

TEST_F(Arranging, PlacingFillsAGroupThenItsNumberedSiblings) {
    fill(7, 28);
    GroupArranger a = arranger();
    std::vector<int> placed;
    for (int n = 0; n < 4; ++n) {
        const int rootId = a.placeByGroupName("Plant");
        placed.push_back(rootId);
        auto c = std::make_unique<CQUORVISData>();
        c->DeviceId = 500 + n;
        c->RootID = rootId;
        c->Index = table.CountInGroup(rootId);
        table.insert(std::move(c));
    }
    const CROOTData* sibling = groups.FindGroupByName("Plant(1)");
    ASSERT_NE(sibling, nullptr);
    EXPECT_EQ(placed, (std::vector<int>{7, 7, sibling->RootID, sibling->RootID}));
    EXPECT_EQ(added, QStringList{"Plant(1)"});
    EXPECT_EQ(stored(groupKeyName(sibling->RootID)).text("RootName"), "Plant(1)");
}

TEST_F(Arranging, PlacingByNameMatchesCaseExactlyAndEmptyMeansTheDefaultGroup) {
    addGroup(3, "Yard", 1);
    GroupArranger a = arranger();
    EXPECT_EQ(a.placeByGroupName(""), 7);
    EXPECT_EQ(a.placeByGroupName("Yard"), 3);
    const int lower = a.placeByGroupName("yard");
    EXPECT_NE(lower, 3);
    EXPECT_EQ(groups.find(lower)->RootName, "yard");
    EXPECT_EQ(groups.find(lower)->Index, 2);
}

} // namespace
} // namespace iomira
