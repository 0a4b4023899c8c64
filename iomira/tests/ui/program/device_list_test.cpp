// The device list on the offscreen platform against the simulator: the start-up fill, icons
// that follow the connections, the context menu, in-place edits and deletions, checked in
// the tree, in the store and in Corvel.

#include "common/monitor_files.h"

#include "app/demo_store.h"
#include "app/tree_texts.h"
#include "core/controller_keys.h"
#include "core/controller_table.h"
#include "core/group_store.h"
#include "core/string_table.h"
#include "monitor/corvel_registration.h"
#include "monitor/corvel_target.h"
#include "monitor/shared_controllers.h"
#include "sim_child.h"
#include "ui/common/tree_icons.h"
#include "ui/tree/device_list_pane.h"
#include "ui/tree/tree_edit_delegate.h"
#include "ui/tree/view_tree.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::pumpUntil;

class DeviceList : public ::testing::Test {
  protected:
    DeviceList()
        : sim(test::simDevice("io", "TKA-35", "unit_id = 1\n") +
              test::simDevice("sirens", "RLX-830", "unit_id = 255\n")),
          directory(*files.store, prompts), pane(directory) {
        setLanguage(LANG_ENGLISH);
        groups = {{10, "Plant", 0}, {11, "Annex", 1}};
        table.setSaver([this](const CQUORVISData& c) { saveController(*files.store, c); });
    }
    ~DeviceList() override {
        table.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
    }

    struct Group {
        int id;
        QString name;
        int index;
    };
    // Stores a controller the way a previous run left it.
    CQUORVISData& store(const QString& name, int rootId, int index, const QString& model = "TKA-35",
                        const std::string& device = "io") {
        CQUORVISData record = seedRecord(model, sim.port(device));
        record.DeviceId = test::nextDeviceId();
        record.DeviceComment = name;
        record.RootID = rootId;
        record.Index = index;
        record.AutomaticConnection = 0;
        saveController(*files.store, record);
        auto owned = std::make_unique<CQUORVISData>(record);
        CQUORVISData& ref = *owned;
        table.insert(std::move(owned));
        return ref;
    }
    void start() {
        for (const Group& g : groups)
            saveGroup(*files.store, CROOTData(g.id, g.name, g.index));
        ASSERT_TRUE(pane.loadGroups());
        table.forEach([this](const CQUORVISData& c) {
            EXPECT_EQ(registerInCorvel(target.window(), c), CORVEL_OK);
        });
        pane.setControllers(shared, files.monitorLog, target.window());
        pane.fillAtStartup();
    }
    QStringList topLevel() const {
        QStringList out;
        for (int i = 0; i < pane.tree()->topLevelItemCount(); ++i)
            out << pane.tree()->topLevelItem(i)->text(0);
        return out;
    }
    QTreeWidgetItem* infoItem(int deviceId, int kind) {
        QTreeWidgetItem* item = pane.findControllerItem(deviceId);
        if (item) item->setExpanded(true);
        for (int i = 0; item && i < item->childCount(); ++i)
            if (itemData(item->child(i)) == kind) return item->child(i);
        return nullptr;
    }
    qint64 iconOf(int deviceId) { return pane.findControllerItem(deviceId)->icon(0).cacheKey(); }
    KeyValues stored(const QString& key) {
        KeyValues values;
        files.store->readKey(key, values);
        return values;
    }
    bool storedKey(const QString& key) {
        std::vector<StoredKey> keys;
        files.store->readAll(keys);
        for (const StoredKey& k : keys)
            if (k.name == key) return true;
        return false;
    }

    test::TestFiles files;
    simtest::SimChild sim;
    test::RecordingPrompts prompts;
    ControllerTable table;
    SharedControllers shared{table};
    ControllerDirectory directory;
    CDeviceListPane pane;
    std::vector<Group> groups;
    CorvelTarget target{[this](uint32_t message, uintptr_t wparam, intptr_t lparam) {
        pane.onCorvelNotification(message, wparam, lparam);
    }};
};

TEST_F(DeviceList, StartUpSortsGroupsSplitsFullOnesAndShowsTheLastOpened) {
    for (int i = 0; i < 31; ++i)
        store(QStringLiteral("Valve %1").arg(i, 2, 10, QLatin1Char('0')), 10, i);
    CQUORVISData& opened = store("Gate", 11, 0);
    opened.LastOpened = 1;
    start();
    EXPECT_EQ(topLevel(), (QStringList{"Annex", "Plant", "Plant(1)"}));
    const CROOTData* extra = pane.groups().FindGroupByName("Plant(1)");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(pane.findGroupItem(10)->childCount(), 30);
    EXPECT_EQ(pane.findGroupItem(extra->RootID)->text(0), "Plant(1)");
    ASSERT_EQ(pane.findGroupItem(extra->RootID)->childCount(), 1);
    EXPECT_EQ(pane.findGroupItem(extra->RootID)->child(0)->text(0), "Valve 30");
    EXPECT_EQ(stored(groupKeyName(extra->RootID)).text("RootName"), "Plant(1)");
    EXPECT_TRUE(pane.groupShown());
    EXPECT_EQ(pane.shownGroupId(), 11);
    EXPECT_EQ(pane.tree()->currentItem(), pane.findControllerItem(opened.DeviceId));
    // Controllers are sorted, information lines stay in their order.
    EXPECT_EQ(pane.findGroupItem(10)->child(0)->text(0), "Valve 00");
    QTreeWidgetItem* mode = infoItem(opened.DeviceId, INFO_MODE);
    EXPECT_EQ(mode, pane.findControllerItem(opened.DeviceId)->child(0));
}

// In a narrow pane the long lines of the Korean texts are not cut off: the tree scrolls
// sideways to their ends, and each line's tool tip holds its whole text.
TEST_F(DeviceList, LongLinesCanBeScrolledToAndReadInTheirToolTips) {
    setLanguage(LANG_KOREAN);
    store("Pump house with a long description", 10, 0);
    start();
    pane.resize(180, 500);
    pane.show();
    QApplication::processEvents();
    CViewTree* tree = pane.tree();
    QTreeWidgetItem* longest = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        EXPECT_EQ((*it)->toolTip(0), (*it)->text(0));
        if (!longest || (*it)->text(0).size() > longest->text(0).size()) longest = *it;
    }
    ASSERT_NE(longest, nullptr);
    const QAbstractItemView* view = tree;
    EXPECT_GE(tree->columnWidth(0), view->sizeHintForColumn(0)) << "the column holds every line";
    QScrollBar* sideways = tree->horizontalScrollBar();
    ASSERT_GT(sideways->maximum(), 0) << "the lines are wider than the pane";
    // Scrolled to its end, the view shows the column's last pixel.
    EXPECT_GE(sideways->maximum() + tree->viewport()->width(), tree->columnWidth(0));
    EXPECT_GT(tree->columnWidth(0), tree->viewport()->width());
    // A line changed later keeps its tool tip whole.
    longest->setText(0, longest->text(0) + QStringLiteral(" (2)"));
    EXPECT_EQ(longest->toolTip(0), longest->text(0));
    QApplication::processEvents();
    EXPECT_GE(tree->columnWidth(0), view->sizeHintForColumn(0)) << "the column grew with it";
    setLanguage(LANG_ENGLISH);
}

TEST_F(DeviceList, WithoutALastOpenedControllerNoGroupIsShown) {
    store("Gate", 11, 0);
    start();
    EXPECT_FALSE(pane.groupShown());
}

TEST_F(DeviceList, WithoutALastOpenedControllerGroupZeroIsShownIfThereIsOne) {
    groups.push_back({0, "Zero", 2});
    start();
    EXPECT_TRUE(pane.groupShown());
    EXPECT_EQ(pane.shownGroupId(), 0);
    EXPECT_EQ(pane.tree()->currentItem(), pane.findGroupItem(0));
}

TEST_F(DeviceList, IconsFollowTheConnectionStates) {
    CQUORVISData& c = store("Pump", 10, 0);
    CQUORVISData& automatic = store("Auto", 10, 1);
    automatic.AutomaticConnection = 1;
    automatic.HostPort = simtest::free_port(false);
    start();
    EXPECT_EQ(iconOf(c.DeviceId), treeIcon(ICON_CLOSED_MANUAL).cacheKey());
    ASSERT_TRUE(
        pumpUntil([&] { return iconOf(automatic.DeviceId) == treeIcon(ICON_ERROR).cacheKey(); }));
    pane.tree()->setCurrentItem(pane.findControllerItem(c.DeviceId));
    pane.connectSelected();
    EXPECT_EQ(iconOf(c.DeviceId), treeIcon(ICON_CONNECTING).cacheKey());
    ASSERT_TRUE(
        pumpUntil([&] { return iconOf(c.DeviceId) == treeIcon(ICON_CONNECTED).cacheKey(); }));
    pane.disconnectSelected();
    EXPECT_EQ(c.ReconnectWanted, 0);
    EXPECT_EQ(get_tcp_connection_state(c.DeviceId), TCP_CLOSED);
    EXPECT_EQ(iconOf(c.DeviceId), treeIcon(ICON_CLOSED_MANUAL).cacheKey());
}

TEST_F(DeviceList, ContextMenuFollowsTheSelection) {
    CQUORVISData& sirens = store("Sirens", 10, 0, "RLX-830", "sirens");
    CQUORVISData& io = store("Pump", 10, 1);
    start();
    auto commandsFor = [&](QTreeWidgetItem* item) {
        pane.tree()->setCurrentItem(item);
        std::vector<int> out;
        for (const MenuEntry& e : pane.contextEntries())
            out.push_back(e.command);
        return out;
    };
    const auto onSirens = commandsFor(pane.findControllerItem(sirens.DeviceId));
    EXPECT_EQ(std::count(onSirens.begin(), onSirens.end(), CMD_SOUND_NOTIFICATION), 0);
    const auto onInfo = commandsFor(infoItem(io.DeviceId, INFO_PORT));
    EXPECT_EQ(std::count(onInfo.begin(), onInfo.end(), CMD_SOUND_NOTIFICATION), 1);
    EXPECT_EQ(std::count(onInfo.begin(), onInfo.end(), CMD_CONNECT), 1);
    const auto onDefault = commandsFor(pane.findGroupItem(10));
    EXPECT_EQ(onDefault, (std::vector<int>{CMD_ADD_CONTROLLER, CMD_ADD_GROUP}));
    const auto onSecond = commandsFor(pane.findGroupItem(11));
    EXPECT_EQ(onSecond, (std::vector<int>{CMD_ADD_CONTROLLER, CMD_ADD_GROUP, CMD_DELETE_GROUP}));
}

// A controller's lines are made when it is first expanded, from its record as it is then, and
// follow later changes once they exist.
TEST_F(DeviceList, InformationLinesAreMadeAtTheFirstExpansionFromTheCurrentRecord) {
    CQUORVISData& c = store("Pump", 10, 0);
    start();
    QTreeWidgetItem* item = pane.findControllerItem(c.DeviceId);
    EXPECT_EQ(item->childCount(), 0);
    EXPECT_EQ(item->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    pane.commitEdit(ITEM_INFO, INFO_AUTO_CONNECT, c.DeviceId, "ON");
    EXPECT_EQ(item->childCount(), 0);

    item->setExpanded(true);
    const std::vector<InfoLine> lines = infoLines(c);
    ASSERT_EQ(item->childCount(), int(lines.size()));
    for (int i = 0; i < item->childCount(); ++i)
        EXPECT_EQ(item->child(i)->text(0), lines[i].text);
    EXPECT_EQ(infoItem(c.DeviceId, INFO_AUTO_CONNECT)->text(0), "Automatic Connection : ON");

    pane.commitEdit(ITEM_INFO, INFO_AUTO_CONNECT, c.DeviceId, "OFF");
    EXPECT_TRUE(item->isExpanded());
    EXPECT_EQ(infoItem(c.DeviceId, INFO_AUTO_CONNECT)->text(0), "Automatic Connection : OFF");
    item->setExpanded(false);
    item->setExpanded(true);
    EXPECT_EQ(item->childCount(), int(lines.size()));
}

TEST_F(DeviceList, ConnectionLinesCannotBeEditedWhileConnected) {
    CQUORVISData& c = store("Pump", 10, 0);
    start();
    pane.tree()->setCurrentItem(pane.findControllerItem(c.DeviceId));
    pane.connectSelected();
    ASSERT_TRUE(pumpUntil([&] { return get_tcp_connection_state(c.DeviceId) == TCP_ESTABLISHED; }));
    QTreeWidgetItem* port = infoItem(c.DeviceId, INFO_PORT);
    pane.tree()->setCurrentItem(port);
    EXPECT_FALSE(pane.mayEdit(port));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].startsWith("You can't modify the settings"));
    const int portBefore = c.HostPort;
    pane.commitEdit(ITEM_INFO, INFO_PORT, c.DeviceId, "1234");
    EXPECT_EQ(c.HostPort, portBefore);

    // The automatic-connection line is allowed in any state, and only saved while connected.
    QTreeWidgetItem* automatic = infoItem(c.DeviceId, INFO_AUTO_CONNECT);
    pane.tree()->setCurrentItem(automatic);
    EXPECT_TRUE(pane.mayEdit(automatic));
    EXPECT_EQ(automatic->data(0, TreeEditDelegate::kChoicesRole).toStringList(),
              (QStringList{"ON", "OFF"}));
    pane.commitEdit(ITEM_INFO, INFO_AUTO_CONNECT, c.DeviceId, "ON");
    EXPECT_EQ(c.AutomaticConnection, 1);
    EXPECT_EQ(stored(controllerKeyName(c.DeviceId)).dword("AutomaticConnection", -1), 1);
    EXPECT_EQ(infoItem(c.DeviceId, INFO_AUTO_CONNECT)->text(0), "Automatic Connection : ON");
    EXPECT_EQ(get_tcp_connection_state(c.DeviceId), TCP_ESTABLISHED);
}

TEST_F(DeviceList, EditsOfAClosedControllerReachStoreTreeAndCorvel) {
    CQUORVISData& c = store("Pump", 10, 0);
    start();
    QTreeWidgetItem* host = infoItem(c.DeviceId, INFO_HOST);
    pane.tree()->setCurrentItem(host);
    ASSERT_TRUE(pane.mayEdit(host));
    EXPECT_EQ(host->data(0, TreeEditDelegate::kEditValueRole).toString(), "127.0.0.1");
    pane.commitEdit(ITEM_INFO, INFO_HOST, c.DeviceId, "  localhost  ");
    EXPECT_EQ(c.HostAddr, "localhost");
    EXPECT_EQ(infoItem(c.DeviceId, INFO_HOST)->text(0), "Host IP Address or Name : localhost");
    EXPECT_EQ(stored(controllerKeyName(c.DeviceId)).text("HostAddr"), "localhost");

    // A refused number changes nothing; a good one reaches Corvel, so the connection uses it.
    pane.commitEdit(ITEM_INFO, INFO_PORT, c.DeviceId, "70000");
    EXPECT_TRUE(prompts.shown.last().startsWith("Please enter a number from 0 to 65535"));
    const int realPort = c.HostPort;
    pane.commitEdit(ITEM_INFO, INFO_PORT, c.DeviceId, QString::number(simtest::free_port(false)));
    EXPECT_EQ(stored(controllerKeyName(c.DeviceId)).dword("HostPort", -1), c.HostPort);
    pane.tree()->setCurrentItem(pane.findControllerItem(c.DeviceId));
    pane.connectSelected();
    ASSERT_TRUE(pumpUntil([&] { return get_tcp_connection_state(c.DeviceId) == TCP_ERROR; }));
    pane.commitEdit(ITEM_INFO, INFO_PORT, c.DeviceId, QString::number(realPort));
    pane.disconnectSelected();
    pane.connectSelected();
    EXPECT_TRUE(pumpUntil([&] { return get_tcp_connection_state(c.DeviceId) == TCP_ESTABLISHED; }));

    // Server mode removes the host line; the description and group names are stored.
    pane.disconnectSelected();
    pane.commitEdit(ITEM_INFO, INFO_MODE, c.DeviceId, "TCP Server");
    EXPECT_EQ(c.IsServer, 1);
    EXPECT_EQ(infoItem(c.DeviceId, INFO_HOST), nullptr);
    pane.commitEdit(ITEM_CONTROLLER, c.DeviceId, c.DeviceId, "Main pump");
    EXPECT_EQ(pane.findControllerItem(c.DeviceId)->text(0), "Main pump");
    EXPECT_EQ(stored(controllerKeyName(c.DeviceId)).text("DeviceComment"), "Main pump");
    pane.commitEdit(ITEM_GROUP, 10, 0, "");
    EXPECT_EQ(prompts.shown.last(), "Please enter the group name.");
    pane.commitEdit(ITEM_GROUP, 10, 0, "Works");
    EXPECT_EQ(stored(groupKeyName(10)).text("RootName"), "Works");
    EXPECT_EQ(pane.findGroupItem(10)->text(0), "Works");
}

TEST_F(DeviceList, DeletingControllersAndGroupsUpdatesTheStore) {
    CQUORVISData& a = store("A", 10, 0);
    CQUORVISData& b = store("B", 10, 1);
    CQUORVISData& c = store("C", 11, 0);
    const int idA = a.DeviceId, idB = b.DeviceId, idC = c.DeviceId;
    start();
    pane.tree()->setCurrentItem(pane.findControllerItem(idA));
    prompts.answer = false;
    pane.deleteSelectedController();
    EXPECT_TRUE(table.contains(idA));
    prompts.answer = true;
    pane.deleteSelectedController();
    EXPECT_FALSE(table.contains(idA));
    EXPECT_EQ(pane.findControllerItem(idA), nullptr);
    EXPECT_FALSE(storedKey(controllerKeyName(idA)));
    EXPECT_EQ(get_tcp_connection_state(idA), CORVEL_UNKNOWN_DEVICE);
    // The one behind it moved up, in memory and in the store.
    EXPECT_EQ(table.find(idB)->Index, 0);
    EXPECT_EQ(stored(controllerKeyName(idB)).dword("Index", -1), 0);

    pane.tree()->setCurrentItem(pane.findGroupItem(11));
    pane.deleteSelectedGroup();
    EXPECT_TRUE(prompts.shown.last().startsWith("The group has I/O controllers."));
    EXPECT_FALSE(table.contains(idC));
    EXPECT_EQ(pane.findControllerItem(idC), nullptr);
    EXPECT_FALSE(storedKey(controllerKeyName(idC)));
    EXPECT_FALSE(storedKey(groupKeyName(11)));
    EXPECT_EQ(pane.groups().find(11), nullptr);
    EXPECT_EQ(topLevel(), QStringList{"Plant"});
    EXPECT_EQ(pane.shownGroupId(), 10);
}

TEST(ViewTreeIndex, AControllerLineIsFoundByIdUntilItGoesHoweverItGoes) {
    auto tree = std::make_unique<CViewTree>();
    auto* plant = new QTreeWidgetItem(tree.get());
    auto* annex = new QTreeWidgetItem(tree.get());
    for (int id : {3, 1, 2}) {
        QTreeWidgetItem* line = tree->newControllerItem(id == 3 ? annex : plant, id);
        line->setText(0, QStringLiteral("Pump %1").arg(4 - id));
    }
    tree->sortChildrenOf(plant); // taken out and put back: still the same lines
    EXPECT_EQ(tree->controllerItem(1)->text(0), "Pump 3");
    EXPECT_EQ(tree->controllerItem(1)->parent(), plant);
    EXPECT_EQ(plant->child(0), tree->controllerItem(2));
    delete plant->takeChild(0);
    EXPECT_EQ(tree->controllerItem(2), nullptr);
    delete plant; // with its remaining line
    EXPECT_EQ(tree->controllerItem(1), nullptr);
    EXPECT_EQ(tree->controllerItem(3)->parent(), annex);
    tree.reset(); // lines still in it leave the index as the tree goes
}

TEST_F(DeviceList, AddGroupAppendsWithoutSorting) {
    start();
    pane.askGroupName = [](QString& name) {
        name = "Aardvark";
        return true;
    };
    pane.addGroup();
    EXPECT_EQ(topLevel(), (QStringList{"Annex", "Plant", "Aardvark"}));
    const CROOTData* added = pane.groups().FindGroupByName("Aardvark");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Index, 2);
    EXPECT_EQ(stored(groupKeyName(added->RootID)).dword("Index", -1), 2);
    EXPECT_EQ(pane.shownGroupId(), added->RootID);
    EXPECT_EQ(pane.tree()->currentItem(), pane.findGroupItem(added->RootID));
}

TEST_F(DeviceList, AddingATablePlacesByGroupName) {
    for (int i = 0; i < 28; ++i)
        store(QStringLiteral("Old %1").arg(i), 11, i);
    start();
    std::vector<CQUORVISData> records;
    for (int i = 0; i < 4; ++i) {
        CQUORVISData r = seedRecord("TKA-35", sim.port("io"));
        r.DeviceComment = QStringLiteral("New %1").arg(i);
        r.RootID = 11;
        r.AutomaticConnection = 0;
        r.LastOpened = i == 1 ? 1 : 0;
        records.push_back(r);
    }
    pane.addControllers(records);
    EXPECT_EQ(pane.findGroupItem(11)->childCount(), 30);
    const CROOTData* extra = pane.groups().FindGroupByName("Annex(1)");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(pane.findGroupItem(extra->RootID)->childCount(), 2);
    EXPECT_EQ(pane.tree()->currentItem()->text(0), "New 1");
    int storedNew = 0;
    std::vector<StoredKey> keys;
    files.store->readAll(keys);
    for (const StoredKey& k : keys)
        if (k.values.text("DeviceComment").startsWith("New")) ++storedNew;
    EXPECT_EQ(storedNew, 4);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

} // namespace
} // namespace iomira

namespace iomira {
namespace {

void sendKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

TEST_F(DeviceList, F2OpensAnEditorThatTakesOnlyDigitsAndEnterCommits) {
    CQUORVISData& c = store("Pump", 10, 0);
    start();
    pane.show();
    QTreeWidgetItem* controllerItem = pane.findControllerItem(c.DeviceId);
    controllerItem->setExpanded(true);
    QTreeWidgetItem* unit = infoItem(c.DeviceId, INFO_UNIT_ID);
    pane.tree()->setCurrentItem(unit);
    sendKey(pane.tree(), Qt::Key_F2);
    auto* editor = pane.tree()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "1");
    editor->selectAll();
    for (const char* key : {"4", "x", "2"}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromLatin1(key));
        QApplication::sendEvent(editor, &press);
    }
    EXPECT_EQ(editor->text(), "42");
    sendKey(editor, Qt::Key_Return);
    ASSERT_TRUE(pumpUntil([&] { return c.UnitId == 42; }, 2000));
    EXPECT_EQ(stored(controllerKeyName(c.DeviceId)).dword("UnitId", -1), 42);
    EXPECT_EQ(infoItem(c.DeviceId, INFO_UNIT_ID)->text(0), "Unit ID : 42");

    // The product line has no editor.
    pane.tree()->setCurrentItem(infoItem(c.DeviceId, INFO_PRODUCT));
    sendKey(pane.tree(), Qt::Key_F2);
    QCoreApplication::processEvents();
    auto* none = pane.tree()->viewport()->findChild<QLineEdit*>();
    EXPECT_TRUE(none == nullptr || !none->isVisible());
}

TEST_F(DeviceList, ChoiceLinesOpenADropDownOnTheCurrentValue) {
    CQUORVISData& c = store("Pump", 10, 0);
    start();
    pane.show();
    pane.findControllerItem(c.DeviceId)->setExpanded(true);
    pane.tree()->setCurrentItem(infoItem(c.DeviceId, INFO_POLL_INPUTS));
    sendKey(pane.tree(), Qt::Key_F2);
    auto* combo = pane.tree()->viewport()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    combo->hidePopup();
    EXPECT_EQ(combo->currentText(), "ON");
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    ASSERT_TRUE(pumpUntil([&] { return c.PollingInput == 0; }, 2000));
    EXPECT_EQ(stored(controllerKeyName(c.DeviceId)).dword("PollingInput", -1), 0);
}

// The pane's own 100 ms timer and the real clock: a refused connection is tried again after
// five seconds, a connection the peer closed at once.
TEST_F(DeviceList, TheReconnectionTimerRetriesErrorsAfterFiveSecondsAndClosesAtOnce) {
    CQUORVISData& c = store("Pump", 10, 0);
    c.UseLog = 1;
    start();
    pane.startTimers();
    auto attempts = [&] { return files.etcOf("Pump").count(QString()); };
    pane.tree()->setCurrentItem(pane.findControllerItem(c.DeviceId));
    pane.connectSelected();
    ASSERT_TRUE(pumpUntil([&] { return c.OutputsValid == 1; }));
    const int afterFirst = attempts(); // the start and the established connection

    sim.command("refuse io on");
    sim.command("drop io");
    // The close is retried on the next tick; that attempt is refused and is an error.
    ASSERT_TRUE(pumpUntil([&] { return get_tcp_connection_state(c.DeviceId) == TCP_ERROR; }, 2000));
    const QElapsedTimer sinceError = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    const int afterError = attempts();
    EXPECT_GT(afterError, afterFirst);
    sim.command("refuse io off");
    test::pumpFor(4000);
    EXPECT_EQ(attempts(), afterError) << "retried before five seconds had passed";
    ASSERT_TRUE(
        pumpUntil([&] { return get_tcp_connection_state(c.DeviceId) == TCP_ESTABLISHED; }, 3000));
    EXPECT_GE(sinceError.elapsed(), 4900);
    pane.stopTimers();
}

} // namespace
} // namespace iomira
