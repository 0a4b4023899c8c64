// The controller directory's transactions as the store sees them: moves, deletions, updates
// that the store refuses, and tables of controllers placed by group name.

#include "app/controller_directory.h"

#include "app/tree_texts.h"

#include "common/event_pump.h"
#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/event_log.h"
#include "core/group_store.h"
#include "core/log_entries.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"

#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <tuple>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class Recorder final : public UserPrompts {
  public:
    void error(const QString& text) override { errors << text; }
    void information(const QString& text) override { errors << text; }
    bool ask(const QString& text, bool) override {
        questions << text;
        return answer;
    }
    QStringList errors;
    QStringList questions;
    bool answer = true;
};

// The program's store, except that writes fail while `refuse` is set.
class RefusingStore final : public Store {
  public:
    explicit RefusingStore(Store& inner) : inner_(inner) {}
    bool readAll(std::vector<StoredKey>& keys) override { return inner_.readAll(keys); }
    bool readKey(const QString& key, KeyValues& values) override {
        return inner_.readKey(key, values);
    }
    bool writeValues(const QString& key, const std::vector<StoreValue>& values) override {
        return !refuse && inner_.writeValues(key, values);
    }
    bool deleteKey(const QString& key) override { return inner_.deleteKey(key); }
    QString lastError() const override { return refuse ? QStringLiteral("disk full") : QString(); }
    bool refuse = false;

  private:
    Store& inner_;
};

class Directory : public ::testing::Test {
  protected:
    Directory() {
        setLanguage(LANG_ENGLISH);
        table.setSaver([this](const CQUORVISData& c) { saveController(store, c); });
        saveGroup(store, CROOTData(10, "Plant", 0));
        saveGroup(store, CROOTData(11, "Annex", 1));
        EXPECT_TRUE(directory.loadGroups());
        directory.setControllers(shared, monitorLog, &window);
    }
    ~Directory() override {
        table.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
    }

    static CQUORVISData record(const QString& name, int rootId) {
        CQUORVISData c;
        c.DeviceComment = name;
        c.RootID = rootId;
        c.NumberOfPortInput = 8;
        c.NumberOfPortOutput = 8;
        c.HostAddr = QStringLiteral("127.0.0.1");
        c.HostPort = 1502;
        c.UnitId = 1;
        return c;
    }
    // A controller as a previous run left it: stored, in the table and known to Corvel.
    int add(const QString& name, int rootId) {
        auto c = std::make_unique<CQUORVISData>(record(name, rootId));
        c->DeviceId = table.NewDeviceId();
        c->Index = table.CountInGroup(rootId);
        EXPECT_EQ(registerInCorvel(&window, *c), CORVEL_OK);
        saveController(store, *c);
        const int id = c->DeviceId;
        table.insert(std::move(c));
        return id;
    }
    KeyValues stored(const QString& key) {
        KeyValues values;
        store.readKey(key, values);
        return values;
    }
    bool hasKey(const QString& key) {
        KeyValues values;
        return store.readKey(key, values) && values.count() > 0;
    }
    int storedDword(int deviceId, const char* name) {
        return stored(controllerKeyName(deviceId)).dword(QLatin1String(name), -1);
    }

    test::TempStore files;
    RefusingStore store{*files.store};
    Recorder prompts;
    ControllerTable table;
    SharedControllers shared{table};
    EventLog log;
    EventLogWriters writers{log, [](int) { return 0; }};
    LogSwitches switches;
    MonitorLog monitorLog{writers, switches};
    corvel_window window{[](corvel_window*, uint32_t, uintptr_t, intptr_t) {}};
    ControllerDirectory directory{store, prompts};
};

TEST_F(Directory, MoveClosesTheOldGroupsGapAndAppendsToTheNewGroup) {
    const int a = add("a", 10), b = add("b", 10), c = add("c", 10);
    const int x = add("x", 11);
    std::vector<std::tuple<int, int, int>> moved;
    QObject::connect(&directory, &ControllerDirectory::controllerMoved,
                     [&](int id, int from, int to) { moved.emplace_back(id, from, to); });

    ASSERT_TRUE(directory.moveController(a, 11));

    EXPECT_EQ(storedDword(a, "RootID"), 11);
    EXPECT_EQ(storedDword(a, "Index"), 1) << "after x";
    EXPECT_EQ(storedDword(b, "Index"), 0);
    EXPECT_EQ(storedDword(c, "Index"), 1);
    EXPECT_EQ(storedDword(x, "Index"), 0);
    EXPECT_EQ(table.FindInGroup(11, 1)->DeviceId, a);
    EXPECT_EQ(table.CountInGroup(10), 2);
    EXPECT_EQ(moved, (std::vector<std::tuple<int, int, int>>{{a, 10, 11}}));
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(Directory, MoveToAMissingGroupOrOfAnUnknownControllerChangesNothing) {
    const int a = add("a", 10);
    EXPECT_FALSE(directory.moveController(a, 99));
    EXPECT_FALSE(directory.moveController(a + 1000, 11));
    EXPECT_EQ(prompts.errors,
              (QStringList{loadString(TEXT_GROUP_NOT_FOUND), loadString(TEXT_MOVE_NO_GROUP)}));
    EXPECT_EQ(storedDword(a, "RootID"), 10);
    EXPECT_EQ(table.find(a)->RootID, 10);
}

TEST_F(Directory, MoveThatTheStoreRefusesLeavesTableAndStoreAsTheyWere) {
    const int a = add("a", 10), b = add("b", 10);
    store.refuse = true;
    EXPECT_FALSE(directory.moveController(a, 11));
    store.refuse = false;
    EXPECT_EQ(table.find(a)->RootID, 10);
    EXPECT_EQ(table.find(b)->Index, 1);
    EXPECT_EQ(storedDword(a, "RootID"), 10);
    EXPECT_EQ(storedDword(b, "Index"), 1);
    EXPECT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors.value(0).contains("disk full"));
}

TEST_F(Directory, DeleteRemovesKeyAndRecordAndShiftsTheLaterOnes) {
    const int a = add("a", 10), b = add("b", 10), c = add("c", 10);
    std::vector<int> removed;
    QObject::connect(&directory, &ControllerDirectory::controllerRemoved,
                     [&](int id) { removed.push_back(id); });

    ASSERT_TRUE(directory.deleteController(b));

    EXPECT_FALSE(hasKey(controllerKeyName(b)));
    EXPECT_EQ(table.find(b), nullptr);
    EXPECT_EQ(storedDword(a, "Index"), 0);
    EXPECT_EQ(storedDword(c, "Index"), 1);
    EXPECT_EQ(removed, std::vector<int>{b});
    EXPECT_EQ(delete_device(b), CORVEL_UNKNOWN_DEVICE) << "gone from Corvel too";
}

TEST_F(Directory, DeleteOfAControllerCorvelDoesNotKnowChangesNothing) {
    const int a = add("a", 10);
    delete_device(a);
    EXPECT_FALSE(directory.deleteController(a));
    EXPECT_EQ(prompts.errors, QStringList{loadString(TEXT_NO_INFORMATION)});
    EXPECT_TRUE(hasKey(controllerKeyName(a)));
    EXPECT_NE(table.find(a), nullptr);
}

TEST_F(Directory, DeleteGroupAsksThenRemovesItsControllersAndItsKey) {
    const int a = add("a", 11), b = add("b", 11);
    const int kept = add("kept", 10);
    prompts.answer = false;
    EXPECT_FALSE(directory.deleteGroup(11));
    EXPECT_TRUE(hasKey(groupKeyName(11)));

    prompts.answer = true;
    ASSERT_TRUE(directory.deleteGroup(11));
    EXPECT_EQ(prompts.questions, (QStringList{loadString(TEXT_DELETE_GROUP_QUESTION),
                                              loadString(TEXT_DELETE_GROUP_QUESTION)}));
    EXPECT_FALSE(hasKey(groupKeyName(11)));
    EXPECT_FALSE(hasKey(controllerKeyName(a)));
    EXPECT_FALSE(hasKey(controllerKeyName(b)));
    EXPECT_TRUE(hasKey(controllerKeyName(kept)));
    EXPECT_EQ(directory.groups().find(11), nullptr);
}

TEST_F(Directory, TheDefaultGroupIsNeverDeletedAndAnEmptyGroupGetsThePlainQuestion) {
    EXPECT_FALSE(directory.deleteGroup(10));
    EXPECT_TRUE(prompts.questions.isEmpty());
    ASSERT_TRUE(directory.deleteGroup(11));
    EXPECT_EQ(prompts.questions, QStringList{loadString(TEXT_DELETE_QUESTION)});
    EXPECT_TRUE(hasKey(groupKeyName(10)));
}

struct RefusedEdit {
    const char* name;
    int kind;
    const char* text;
    const char* value;
    int before;
};

class DirectoryUpdate : public Directory, public ::testing::WithParamInterface<RefusedEdit> {};

// The store refuses the write: the record in memory keeps its value, and so does the store.
TEST_P(DirectoryUpdate, RefusedSaveRollsTheRecordBack) {
    const RefusedEdit& edit = GetParam();
    const int a = add("a", 10);
    int changed = 0;
    QObject::connect(&directory, &ControllerDirectory::controllerChanged, [&](int) { ++changed; });
    store.refuse = true;
    EXPECT_FALSE(directory.editController(a, edit.kind, edit.text));
    store.refuse = false;
    EXPECT_EQ(storedDword(a, edit.value), edit.before);
    EXPECT_EQ(readController(stored(controllerKeyName(a))).HostPort, table.find(a)->HostPort);
    EXPECT_EQ(readController(stored(controllerKeyName(a))).AutomaticConnection,
              table.find(a)->AutomaticConnection);
    EXPECT_EQ(changed, 0);
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains("disk full"));

    EXPECT_TRUE(directory.editController(a, edit.kind, edit.text))
        << "accepted once the store works";
    EXPECT_NE(storedDword(a, edit.value), edit.before);
    EXPECT_EQ(changed, 1);
}

INSTANTIATE_TEST_SUITE_P(Fields, DirectoryUpdate,
                         ::testing::Values(RefusedEdit{"Port", INFO_PORT, "1600", "HostPort", 1502},
                                           RefusedEdit{"AutoConnect", INFO_AUTO_CONNECT, "OFF",
                                                       "AutomaticConnection", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// The start-up fill announces the controllers group by group in position order, moves the
// 31st on of a group into a new group, starts only the automatic connections and finds where
// the last run left off, even after the split moved that controller.
TEST_F(Directory, StartupFillSplitsFullGroupsAndConnectsTheAutomaticOnes) {
    std::vector<int> annex;
    for (int i = 0; i < 32; ++i)
        annex.push_back(add(QStringLiteral("annex %1").arg(i), 11));
    const int plant = add("plant", 10);
    for (int id : annex)
        table.find(id)->AutomaticConnection = 0;
    table.find(plant)->AutomaticConnection = 1;
    table.find(annex[31])->LastOpened = 1;
    std::vector<int> announced, groupsMade;
    QObject::connect(&directory, &ControllerDirectory::controllerAdded,
                     [&](int id) { announced.push_back(id); });
    QObject::connect(&directory, &ControllerDirectory::groupAdded,
                     [&](int id) { groupsMade.push_back(id); });

    const ControllerDirectory::LastShown shown = directory.fillAtStartup();

    std::vector<int> expected{plant};
    expected.insert(expected.end(), annex.begin(), annex.end());
    EXPECT_EQ(announced, expected);
    const CROOTData* overflow = directory.groups().FindGroupByName("Annex(1)");
    ASSERT_NE(overflow, nullptr);
    EXPECT_EQ(groupsMade, std::vector<int>{overflow->RootID});
    EXPECT_EQ(storedDword(annex[30], "RootID"), overflow->RootID);
    EXPECT_EQ(storedDword(annex[31], "Index"), 1);
    EXPECT_EQ(table.CountInGroup(11), 30);
    EXPECT_EQ(shown.rootId, overflow->RootID);
    EXPECT_EQ(shown.deviceId, annex[31]);
    EXPECT_NE(get_tcp_connection_state(plant), TCP_CLOSED);
    for (int id : annex)
        EXPECT_EQ(get_tcp_connection_state(id), TCP_CLOSED) << id;
    disconnect_device(plant);
}

TEST_F(Directory, AddedTableIsPlacedByGroupNameThirtyToAGroup) {
    for (int i = 0; i < 28; ++i)
        add(QStringLiteral("old %1").arg(i), 11);
    std::vector<CQUORVISData> records;
    for (int i = 0; i < 4; ++i)
        records.push_back(record(QStringLiteral("new %1").arg(i), 11));
    records[3].LastOpened = 1;
    std::vector<int> added;
    QObject::connect(&directory, &ControllerDirectory::controllerAdded,
                     [&](int id) { added.push_back(id); });

    const int lastOpened = directory.addControllers(records);

    ASSERT_EQ(added.size(), 4u);
    EXPECT_EQ(lastOpened, added[3]);
    const CROOTData* overflow = directory.groups().FindGroupByName("Annex(1)");
    ASSERT_NE(overflow, nullptr);
    EXPECT_EQ(stored(groupKeyName(overflow->RootID)).text("RootName"), "Annex(1)");
    EXPECT_EQ(stored(groupKeyName(overflow->RootID)).dword("Index", -1), 2);
    const std::vector<std::pair<int, int>> placed{
        {11, 28}, {11, 29}, {overflow->RootID, 0}, {overflow->RootID, 1}};
    for (size_t i = 0; i < added.size(); ++i) {
        EXPECT_EQ(storedDword(added[i], "RootID"), placed[i].first) << i;
        EXPECT_EQ(storedDword(added[i], "Index"), placed[i].second) << i;
        EXPECT_EQ(stored(controllerKeyName(added[i])).text("DeviceComment"),
                  QStringLiteral("new %1").arg(i));
    }
    EXPECT_EQ(table.CountInGroup(11), 30);
}

TEST_F(Directory, AddedRecordTheStoreRefusesIsReportedAndLeftOut) {
    std::vector<CQUORVISData> records{record("first", 10)};
    store.refuse = true;
    EXPECT_EQ(directory.addControllers(records), -1);
    store.refuse = false;
    EXPECT_EQ(table.size(), 0);
    EXPECT_EQ(prompts.errors.size(), 1);
    records.push_back(record("second", 10));
    directory.addControllers(records);
    EXPECT_EQ(table.size(), 2);
}

// The add dialog's controllers go to the group they name, even when another group has the
// same name, and each is stored and known to Corvel.
TEST_F(Directory, NewControllersJoinTheirGroupInOrder) {
    saveGroup(store, CROOTData(12, "Plant", 2));
    ASSERT_TRUE(directory.loadGroups());
    add("old", 12);
    std::vector<CQUORVISData> accepted{record("n1", 12), record("n2", 12)};
    accepted[0].DeviceId = -1;
    accepted[1].DeviceId = -2;
    std::vector<int> added;
    QObject::connect(&directory, &ControllerDirectory::controllerAdded,
                     [&](int id) { added.push_back(id); });

    const int last = directory.addNewControllers(accepted);

    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(last, added[1]);
    for (int i = 0; i < 2; ++i) {
        EXPECT_GT(added[i], 0);
        EXPECT_EQ(storedDword(added[i], "RootID"), 12) << i;
        EXPECT_EQ(storedDword(added[i], "Index"), i + 1) << i;
        EXPECT_EQ(get_tcp_connection_state(added[i]), TCP_CONNECTING) << "connects at once";
    }
    EXPECT_TRUE(prompts.errors.isEmpty());
}

// Modify: Corvel, store and table take the edited record, the controller moves to the new
// group, and a change of its port counts is announced for its window.
TEST_F(Directory, ModifiedControllerIsUpdatedMovedAndItsPortChangeAnnounced) {
    const int a = add("a", 10);
    add("b", 10);
    CQUORVISData edited = *table.find(a);
    edited.DeviceComment = "renamed";
    edited.HostPort = 1700;
    edited.NumberOfPortInput = 4;
    edited.RootID = 11;
    int portsChanged = -1;
    QObject::connect(&directory, &ControllerDirectory::controllerPortsChanged,
                     [&](int id) { portsChanged = id; });

    EXPECT_TRUE(directory.modifyController(a, edited, true));

    EXPECT_EQ(portsChanged, a);
    EXPECT_EQ(stored(controllerKeyName(a)).text("DeviceComment"), "renamed");
    EXPECT_EQ(storedDword(a, "HostPort"), 1700);
    EXPECT_EQ(storedDword(a, "RootID"), 11);
    EXPECT_EQ(storedDword(a, "Index"), 0);
    EXPECT_EQ(table.CountInGroup(10), 1);
    EXPECT_EQ(table.find(a)->NumberOfPortInput, 4);
}

// Corvel refuses new settings while the controller is connected: the message names the
// reason, and record, store and group stay as they were.
TEST_F(Directory, ModifyThatCorvelRefusesChangesNothing) {
    // A listener of the test's own to be connected to.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length);
    const int a = add("a", 10);
    table.find(a)->HostPort = ntohs(at.sin_port);
    ASSERT_EQ(update_device(a, u"127.0.0.1", 0, ntohs(at.sin_port), 1, 0, 0), CORVEL_OK);
    int error = 0;
    ASSERT_EQ(connect_device(a, &error), CORVEL_OK);
    ASSERT_TRUE(test::pumpUntil([&] { return get_tcp_connection_state(a) == TCP_ESTABLISHED; }));
    const CQUORVISData before = *table.find(a);
    CQUORVISData edited = before;
    edited.DeviceComment = "renamed";
    edited.RootID = 11;

    EXPECT_FALSE(directory.modifyController(a, edited, false));

    disconnect_device(a);
    close(listener);
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(prompts.errors[0], loadString(TEXT_NOT_CLOSED));
    EXPECT_EQ(table.find(a)->DeviceComment, "a");
    EXPECT_EQ(stored(controllerKeyName(a)).text("DeviceComment"), "a");
    EXPECT_EQ(storedDword(a, "RootID"), 10);
}

} // namespace
} // namespace iomira
