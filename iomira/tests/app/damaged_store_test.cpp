// A store whose controller keys hold values no dialog writes, loaded as the program loads it
// at start-up: every controller reaches the tree, repaired on disk, and the operator is told.

#include "app/controller_directory.h"
#include "app/demo_store.h"

#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/controller_repair.h"
#include "core/event_log.h"
#include "core/object_loader.h"
#include "core/schedule_list.h"
#include "core/sound_library.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"

#include <gtest/gtest.h>

#include <set>

namespace iomira {
namespace {

using test::runSqlite;

class DamagedStore : public ::testing::Test {
  protected:
    DamagedStore() {
        setLanguage(LANG_ENGLISH);
        table.setSaver([this](const CQUORVISData& c) { saveController(*files.store, c); });
        EXPECT_TRUE(writeSeedStore(*files.store, demoGroups(), demoControllers(20000)));
        files.store.reset();
        runSqlite(files.path, "UPDATE vals SET data = 0 WHERE name = 'AutomaticConnection';\n");
    }
    ~DamagedStore() override {
        table.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
    }

    void damage(int deviceId, const char* name, int value) {
        runSqlite(files.path, QStringLiteral("UPDATE vals SET data = %1 WHERE key = 'ID_%2' AND "
                                             "name = '%3';\n")
                                  .arg(value)
                                  .arg(deviceId)
                                  .arg(QLatin1String(name)));
    }

    // The program's start-up: groups, then the objects, then the walk that fills the tree.
    std::set<int> start() {
        StoreOpenError error;
        files.store = SqliteStore::open(files.path, &error);
        EXPECT_TRUE(files.store) << error.reason.toStdString();
        directory = std::make_unique<ControllerDirectory>(*files.store, prompts);
        EXPECT_TRUE(directory->loadGroups());
        ObjectLoadTargets targets{
            table,
            sounds,
            mail,
            messages,
            "/",
            [this](const CQUORVISData& c) { return registerInCorvel(&window, c); },
            {},
            [this](const QString& m) { prompts.error(m); },
            {&directory->groups(),
             [this](const CQUORVISData& c) { return saveController(*files.store, c); },
             [this](const QString& m) { repairNotices << m; }}};
        EXPECT_TRUE(loadObjects(*files.store, targets));
        directory->setControllers(shared, monitorLog, &window);
        std::set<int> announced;
        QObject::connect(directory.get(), &ControllerDirectory::controllerAdded,
                         [&](int id) { announced.insert(id); });
        directory->fillAtStartup();
        return announced;
    }

    int stored(int deviceId, const char* name) {
        KeyValues values;
        files.store->readKey(controllerKeyName(deviceId), values);
        return values.dword(QLatin1String(name), -1000);
    }

    test::TempStore files;
    test::RecordingPrompts prompts;
    ControllerTable table;
    SharedControllers shared{table};
    SoundLibrary sounds;
    CScheduleDataList mail, messages;
    EventLog log;
    EventLogWriters writers{log, [](int) { return 0; }};
    LogSwitches switches;
    MonitorLog monitorLog{writers, switches};
    corvel_window window{[](corvel_window*, uint32_t, uintptr_t, intptr_t) {}};
    std::unique_ptr<ControllerDirectory> directory;
    QStringList repairNotices;
};

const std::set<int> kEveryController{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

TEST_F(DamagedStore, AHealthyStoreLoadsWithoutRepairs) {
    EXPECT_EQ(start(), kEveryController);
    EXPECT_TRUE(repairNotices.isEmpty());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(DamagedStore, EveryDamagedControllerIsRepairedOnDiskAndReachesTheTree) {
    damage(1, "HostPort", 999999);
    damage(2, "NumberOfPortInput", 200);
    damage(2, "NumberOfPortOutput", -3);
    damage(4, "DeviceType", 9);
    damage(5, "Index", 0);  // the position of controller 1
    damage(6, "Index", 40); // beyond the group's end
    damage(10, "RootID", 77);
    damage(12, "NumberOfPortOutput", 7);

    EXPECT_EQ(start(), kEveryController);

    EXPECT_EQ(stored(1, "HostPort"), 65535);
    EXPECT_EQ(stored(2, "NumberOfPortInput"), 8);
    EXPECT_EQ(stored(2, "NumberOfPortOutput"), 0);
    EXPECT_EQ(stored(4, "DeviceType"), 0);
    EXPECT_EQ(stored(4, "NumberOfPortInput"), 4) << "read as a generic controller, ports kept";
    EXPECT_EQ(stored(12, "NumberOfPortOutput"), 4);
    // The default group keeps its own positions; the ones taken or beyond get the free ones,
    // the controller of the missing group the last.
    EXPECT_EQ(stored(1, "Index"), 0);
    EXPECT_EQ(stored(5, "Index"), 4);
    EXPECT_EQ(stored(6, "Index"), 5);
    EXPECT_EQ(stored(10, "RootID"), 0);
    EXPECT_EQ(stored(10, "Index"), 8);
    // Its old group closes the gap it left.
    EXPECT_EQ(stored(13, "Index"), 1);
    EXPECT_EQ(table.find(13)->Index, 1);
    for (int id : kEveryController)
        EXPECT_EQ(table.find(id)->Index, stored(id, "Index")) << id;

    ASSERT_EQ(repairNotices.size(), 1);
    const QString& notice = repairNotices.front();
    EXPECT_TRUE(notice.startsWith(loadString(TEXT_REPAIRED_CONTROLLERS).section('\n', 0, 0)));
    const QStringList lines = notice.split('\n').mid(1);
    EXPECT_EQ(lines, (QStringList{
                         "Boiler room (TKA-31) (ID 1): port number 999999, now 65535",
                         "Loading dock (TKA-21) (ID 2): 200 input ports, now 8; -3 output "
                         "ports, now 0",
                         "Pump station (TKA-35) (ID 4): unknown model family 9, now a generic "
                         "Modbus/TCP controller",
                         "Packing line (TKA-31P) (ID 5): position 1 in its group was taken or "
                         "out of range, now position 5",
                         "Cold store (TKA-33P) (ID 6): position 41 in its group was taken or out "
                         "of range, now position 6",
                         "Flow meters (RLX-820) (ID 10): group 77 does not exist, now at the end "
                         "of the group Digital I/O",
                         "Press 2 (RLX-850) (ID 12): 7 output ports, now 4",
                         "Server room (RLX-840) (ID 13): position 5 in its group was taken or out "
                         "of range, now position 2",
                     }));
    EXPECT_TRUE(prompts.shown.isEmpty()) << "no message box per controller";

    // Repaired once: the records on disk leave nothing for the next start to tell.
    std::vector<StoredKey> keys;
    ASSERT_TRUE(files.store->readAll(keys));
    std::vector<CQUORVISData> again;
    for (const StoredKey& key : keys) {
        if (key.name.startsWith("ID_")) again.push_back(readController(key.values));
    }
    ASSERT_EQ(again.size(), kEveryController.size());
    EXPECT_TRUE(repairControllers(again, &directory->groups()).empty());
}

} // namespace
} // namespace iomira
