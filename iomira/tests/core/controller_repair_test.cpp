#include "core/controller_repair.h"

#include "core/device_family.h"
#include "core/root_data.h"
#include "core/string_table.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

CQUORVISData controller(int id, int family, int inputs, int outputs, int rootId, int index) {
    CQUORVISData c;
    c.DeviceId = id;
    c.DeviceComment = QStringLiteral("c%1").arg(id);
    c.DeviceType = family;
    c.NumberOfPortInput = inputs;
    c.NumberOfPortOutput = outputs;
    c.HostPort = 502;
    c.RootID = rootId;
    c.Index = index;
    return c;
}

TEST(ControllerRepair, ValuesGoToTheNearestOneTheFamilyTakes) {
    setLanguage(LANG_ENGLISH);
    std::vector<CQUORVISData> records{
        controller(1, FAMILY_GENERIC, 8, 8, 0, 0),  // healthy
        controller(2, FAMILY_RLX830, 3, 9, 0, 1),   // an RLX-830 has no inputs and 2 outputs
        controller(3, FAMILY_RLX810, -1, 0, 0, 2),  // none at all
        controller(4, -7, 200, 1, 0, 3),            // unknown family
        controller(5, FAMILY_GENERIC, 4, 4, 0, 4),  // port 0
        controller(6, FAMILY_GENERIC, 4, 4, 0, 5)}; // port beyond 65535
    records[4].HostPort = 0;
    records[5].HostPort = 70000;
    const std::vector<CQUORVISData> before = records;

    const std::vector<ControllerRepair> repairs = repairControllers(records, nullptr);

    EXPECT_EQ(records[0], before[0]);
    EXPECT_EQ(records[1].NumberOfPortInput, 0);
    EXPECT_EQ(records[1].NumberOfPortOutput, 2);
    EXPECT_EQ(records[2].NumberOfPortInput, 0);
    EXPECT_EQ(records[3].DeviceType, FAMILY_GENERIC);
    EXPECT_EQ(records[3].NumberOfPortInput, 8);
    EXPECT_EQ(records[3].NumberOfPortOutput, 1);
    EXPECT_EQ(records[4].HostPort, 502) << "a port never set gets the Modbus/TCP port";
    EXPECT_EQ(records[5].HostPort, 65535);
    ASSERT_EQ(repairs.size(), 5u);
    EXPECT_EQ(repairs[0].deviceId, 2);
    EXPECT_EQ(repairs[0].changes, (QStringList{"3 input ports, now 0", "9 output ports, now 2"}));
    EXPECT_EQ(repairs[2].changes,
              (QStringList{"unknown model family -7, now a generic Modbus/TCP controller",
                           "200 input ports, now 8"}));
    for (size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(records[i].Index, before[i].Index) << "no groups given, no positions checked";
}

TEST(ControllerRepair, PositionsOfEveryGroupRunFromZeroWithoutAGap) {
    setLanguage(LANG_ENGLISH);
    // No group holds position 0: the default group is the one with the lowest.
    CROOTDataList groups;
    groups.insert(std::make_unique<CROOTData>(4, "Hall", 2));
    groups.insert(std::make_unique<CROOTData>(9, "Yard", 3));
    std::vector<CQUORVISData> records{
        controller(1, FAMILY_GENERIC, 8, 8, 9, 1),  controller(2, FAMILY_GENERIC, 8, 8, 9, 1),
        controller(3, FAMILY_GENERIC, 8, 8, 9, -2), controller(4, FAMILY_GENERIC, 8, 8, 5, 0),
        controller(5, FAMILY_GENERIC, 8, 8, 4, 0),  controller(6, FAMILY_GENERIC, 8, 8, 4, 1)};

    const std::vector<ControllerRepair> repairs = repairControllers(records, &groups);

    std::vector<std::pair<int, int>> placed;
    for (const CQUORVISData& c : records)
        placed.push_back({c.RootID, c.Index});
    EXPECT_EQ(placed,
              (std::vector<std::pair<int, int>>{{9, 1}, {9, 2}, {9, 0}, {4, 2}, {4, 0}, {4, 1}}));
    ASSERT_EQ(repairs.size(), 3u);
    EXPECT_EQ(repairs[0].deviceId, 2);
    EXPECT_EQ(repairs[1].changes,
              QStringList{"position -1 in its group was taken or out of range, now position 1"});
    EXPECT_EQ(repairs[2].changes,
              QStringList{"group 5 does not exist, now at the end of the group Hall"});
    EXPECT_EQ(repairsMessage({repairs[2], repairs[0]}).split('\n').mid(1),
              (QStringList{"c2 (ID 2): position 2 in its group was taken or out of range, now "
                           "position 3",
                           "c4 (ID 4): group 5 does not exist, now at the end of the group Hall"}));
}

} // namespace
} // namespace iomira
