// The two lists of the log settings dialog: which controllers log, sorted by group and name.

#include "app/manage_log_dialog_lists.h"
#include "core/controller_table.h"
#include "core/root_data.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

// Groups and controllers as the log settings dialog sees them.
class LogListData : public ::testing::Test {
  protected:
    LogListData() {
        groups.insert(std::make_unique<CROOTData>(10, "Plant", 0));
        groups.insert(std::make_unique<CROOTData>(20, "Annex", 1));
        add(1, 10, "Pump", 0);
        add(2, 10, "Fan", 0);
        add(3, 10, "Gate", 1);
        add(4, 20, "Boiler", 1);
        add(5, 20, "Ab", 1);
    }
    void add(int id, int root, const QString& name, int useLog) {
        auto c = std::make_unique<CQUORVISData>();
        c->DeviceId = id;
        c->RootID = root;
        c->Index = table.CountInGroup(root);
        c->DeviceComment = name;
        c->UseLog = useLog;
        table.insert(std::move(c));
    }

    ControllerTable table;
    CROOTDataList groups;
};

TEST(LogLists, LengthFirstThenCharacterCodes) {
    EXPECT_TRUE(lengthFirstLess("Zz", "Aaa"));
    EXPECT_TRUE(lengthFirstLess("AB", "Ab"));
    EXPECT_FALSE(lengthFirstLess("ab", "ab"));
}

TEST_F(LogListData, LoggedControllersSortByGroupThenName) {
    const std::vector<LogListRow> rows = loggedControllers(table, groups);
    const std::vector<LogListRow> expected = {
        {"Annex", "Ab", 5}, {"Annex", "Boiler", 4}, {"Plant", "Gate", 3}};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(unloggedInGroup(table, groups, 10).size(), 2u);
    EXPECT_TRUE(unloggedInGroup(table, groups, 20).empty());
}

} // namespace
} // namespace iomira
