// Moving controllers between two groups and deleting them in bulk, against a real directory:
// what the refusals say, and what the table and the store hold afterwards.

#include "app/controller_management.h"

#include "app/controller_directory.h"
#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/event_log.h"
#include "core/group_store.h"
#include "core/log_entries.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"

#include <gtest/gtest.h>

#include <vector>

namespace iomira {
namespace {

TEST(MoveRefusal, ChecksInOrderSameGroupThenSelectionThenCapacity) {
    struct Case {
        int from, to, selected, destination, refusal;
    };
    const Case cases[] = {
        {1, 1, 0, 0, TEXT_MOVE_SAME_GROUP},
        {1, 1, 3, 29, TEXT_MOVE_SAME_GROUP},
        {1, 2, 0, 29, TEXT_SELECT_IO_CONTROLLERS},
        {1, 2, 3, 28, TEXT_GROUP_FULL},
        {1, 2, 2, 28, 0},
        {1, 2, 30, 0, 0},
        {1, 2, 1, 30, TEXT_GROUP_FULL},
        {0, 2, 1, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(moveRefusal(c.from, c.to, c.selected, c.destination), c.refusal)
            << c.from << "->" << c.to << " selected " << c.selected << " into " << c.destination;
    }
}

TEST(InitialPanels, FirstGroupLeftSecondRightAndALoneGroupOnBothSides) {
    const std::pair<int, PanelGroups> cases[] = {
        {0, {-1, -1}}, {1, {0, 0}}, {2, {0, 1}}, {5, {0, 1}}};
    for (const auto& [count, expected] : cases)
        EXPECT_EQ(initialPanelGroups(count), expected) << count << " groups";
}

class Management : public ::testing::Test {
  protected:
    Management() {
        setLanguage(LANG_ENGLISH);
        table.setSaver([this](const CQUORVISData& c) { saveController(store, c); });
        // Index order differs from id order on purpose.
        saveGroup(store, CROOTData(20, "Annex", 1));
        saveGroup(store, CROOTData(10, "Plant", 0));
        saveGroup(store, CROOTData(5, "Yard", 2));
        EXPECT_TRUE(directory.loadGroups());
        directory.setControllers(shared, monitorLog, &window);
    }
    ~Management() override {
        table.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
    }

    // Controllers a previous run left: stored, in the table and known to Corvel.
    std::vector<int> fill(int rootId, int count, const QString& prefix) {
        std::vector<int> ids;
        for (int i = 0; i < count; ++i) {
            auto c = std::make_unique<CQUORVISData>();
            c->DeviceComment = prefix + QString::number(i);
            c->RootID = rootId;
            c->NumberOfPortInput = 8;
            c->NumberOfPortOutput = 8;
            c->HostAddr = QStringLiteral("127.0.0.1");
            c->HostPort = 1502;
            c->DeviceId = table.NewDeviceId();
            c->Index = table.CountInGroup(rootId);
            EXPECT_EQ(registerInCorvel(&window, *c), CORVEL_OK);
            saveController(store, *c);
            ids.push_back(c->DeviceId);
            table.insert(std::move(c));
        }
        return ids;
    }
    KeyValues stored(int deviceId) {
        KeyValues values;
        files.store->readKey(controllerKeyName(deviceId), values);
        return values;
    }
    // (RootID, Index) as the store and as the table have it; the table's is -1 when gone.
    std::pair<int, int> storedPlace(int deviceId) {
        const KeyValues v = stored(deviceId);
        return {v.dword(QLatin1String("RootID"), -1), v.dword(QLatin1String("Index"), -1)};
    }
    std::pair<int, int> tablePlace(int deviceId) {
        const CQUORVISData* c = table.find(deviceId);
        return c ? std::pair{c->RootID, c->Index} : std::pair{-1, -1};
    }
    std::vector<int> listed(int rootId) {
        std::vector<int> ids;
        for (const ManagedController& c : management.controllers(rootId))
            ids.push_back(c.deviceId);
        return ids;
    }

    test::TempStore files;
    Store& store = *files.store;
    test::RecordingPrompts prompts;
    ControllerTable table;
    SharedControllers shared{table};
    EventLog log;
    EventLogWriters writers{log, [](int) { return 0; }};
    LogSwitches switches;
    MonitorLog monitorLog{writers, switches};
    corvel_window window{[](corvel_window*, uint32_t, uintptr_t, intptr_t) {}};
    ControllerDirectory directory{store, prompts};
    ControllerManagement management{directory};
};

TEST_F(Management, ListsGroupsAndControllersInIndexOrder) {
    const std::vector<int> plant = fill(10, 3, "p");
    // A move makes the table's order differ from the positions.
    ASSERT_TRUE(directory.moveController(plant[0], 20));
    ASSERT_TRUE(directory.moveController(plant[0], 10));
    EXPECT_EQ(management.groups(),
              (std::vector<ManagedGroup>{{10, "Plant"}, {20, "Annex"}, {5, "Yard"}}));
    EXPECT_EQ(
        management.controllers(10),
        (std::vector<ManagedController>{{plant[1], "p1"}, {plant[2], "p2"}, {plant[0], "p0"}}));
    EXPECT_TRUE(management.controllers(5).empty());
}

TEST_F(Management, MoveBeyondThirtyIsRefusedAndTwoFitWithTheSourceClosingUp) {
    const std::vector<int> source = fill(10, 5, "s");
    const std::vector<int> full = fill(20, 28, "f");

    EXPECT_EQ(management.move({source[0], source[2], source[4]}, 10, 20), 0);
    EXPECT_EQ(prompts.shown, QStringList{loadString(TEXT_GROUP_FULL)});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(storedPlace(source[i]), (std::pair{10, i}));
        EXPECT_EQ(tablePlace(source[i]), (std::pair{10, i}));
    }

    prompts.shown.clear();
    EXPECT_EQ(management.move({source[1], source[3]}, 10, 20), 2);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    EXPECT_EQ(listed(10), (std::vector<int>{source[0], source[2], source[4]}));
    for (int i : {0, 2, 4})
        EXPECT_EQ(storedPlace(source[i]), tablePlace(source[i]));
    EXPECT_EQ(storedPlace(source[0]), (std::pair{10, 0}));
    EXPECT_EQ(storedPlace(source[2]), (std::pair{10, 1}));
    EXPECT_EQ(storedPlace(source[4]), (std::pair{10, 2}));
    // In list order, at the end of the destination.
    EXPECT_EQ(storedPlace(source[1]), (std::pair{20, 28}));
    EXPECT_EQ(storedPlace(source[3]), (std::pair{20, 29}));
    EXPECT_EQ(tablePlace(source[3]), (std::pair{20, 29}));
    EXPECT_EQ(listed(20).size(), 30u);
}

TEST_F(Management, RefusalsChangeNothing) {
    const std::vector<int> plant = fill(10, 2, "p");
    struct Case {
        const char* what;
        std::vector<int> selected;
        int from, to, text;
    };
    const Case cases[] = {
        {"same group", {plant[0]}, 10, 10, TEXT_MOVE_SAME_GROUP},
        {"same group, nothing selected", {}, 10, 10, TEXT_MOVE_SAME_GROUP},
        {"nothing selected", {}, 10, 20, TEXT_SELECT_IO_CONTROLLERS},
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        EXPECT_EQ(management.move(c.selected, c.from, c.to), 0) << c.what;
        EXPECT_EQ(prompts.shown, QStringList{loadString(c.text)}) << c.what;
    }
    prompts.shown.clear();
    EXPECT_EQ(management.remove({}), 0);
    EXPECT_EQ(prompts.shown, QStringList{loadString(TEXT_SELECT_IO_CONTROLLERS)});
    EXPECT_EQ(listed(10), plant);
    EXPECT_EQ(storedPlace(plant[1]), (std::pair{10, 1}));
}

TEST_F(Management, WithOneGroupEveryMoveIsRefusedAsTheSameGroup) {
    test::TempStore single;
    saveGroup(*single.store, CROOTData(7, "Only", 0));
    ControllerDirectory lone{*single.store, prompts};
    ASSERT_TRUE(lone.loadGroups());
    lone.setControllers(shared, monitorLog, &window);
    ControllerManagement onlyOne{lone};
    const std::vector<ManagedGroup> groups = onlyOne.groups();
    ASSERT_EQ(groups.size(), 1u);
    const PanelGroups panels = initialPanelGroups(1);
    const int left = groups[panels.left].rootId, right = groups[panels.right].rootId;
    const std::vector<int> ids = fill(7, 2, "o");
    for (const std::vector<int>& selected : {ids, std::vector<int>{ids[1]}}) {
        prompts.shown.clear();
        EXPECT_EQ(onlyOne.move(selected, left, right), 0);
        EXPECT_EQ(onlyOne.move(selected, right, left), 0);
        EXPECT_EQ(prompts.shown, QStringList(2, loadString(TEXT_MOVE_SAME_GROUP)));
    }
    EXPECT_EQ(tablePlace(ids[1]), (std::pair{7, 1}));
}

TEST_F(Management, DeleteRemovesTheSelectedAndTheRestCloseUp) {
    const std::vector<int> plant = fill(10, 4, "p");
    EXPECT_EQ(management.remove({plant[0], plant[2]}), 2);
    EXPECT_EQ(listed(10), (std::vector<int>{plant[1], plant[3]}));
    EXPECT_EQ(stored(plant[0]).count(), 0);
    EXPECT_EQ(stored(plant[2]).count(), 0);
    EXPECT_EQ(storedPlace(plant[1]), (std::pair{10, 0}));
    EXPECT_EQ(storedPlace(plant[3]), (std::pair{10, 1}));
    EXPECT_EQ(delete_device(plant[0]), CORVEL_UNKNOWN_DEVICE) << "gone from Corvel too";
}

TEST_F(Management, DeleteAllOfAGroupShownOnBothSidesEmptiesBothListsAndTheStore) {
    const std::vector<int> plant = fill(10, 3, "p");
    const std::vector<int> annex = fill(20, 2, "a");
    EXPECT_EQ(management.removeAll(10), 3);
    // Both panels list the same group, so both are empty now.
    EXPECT_TRUE(management.controllers(10).empty());
    for (int id : plant) {
        EXPECT_EQ(stored(id).count(), 0) << id;
        EXPECT_EQ(table.find(id), nullptr) << id;
    }
    EXPECT_EQ(listed(20), annex);
    EXPECT_EQ(storedPlace(annex[1]), (std::pair{20, 1}));
    EXPECT_EQ(management.removeAll(10), 0) << "an empty group: nothing to do";
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(Management, TheFirstRefusalEndsTheBatchAndIsToldOnce) {
    const std::vector<int> plant = fill(10, 3, "p");
    delete_device(plant[1]); // Corvel no longer knows it
    EXPECT_EQ(management.remove(plant), 1);
    EXPECT_EQ(prompts.shown, QStringList{loadString(TEXT_NO_INFORMATION)});
    EXPECT_EQ(table.find(plant[0]), nullptr);
    EXPECT_EQ(listed(10), (std::vector<int>{plant[1], plant[2]}));
    EXPECT_EQ(storedPlace(plant[2]), (std::pair{10, 1}));
}

} // namespace
} // namespace iomira
