// Finding controllers on a network and adding them, as an operator does it: the Group menu's
// "Add I/O Controller", a broadcast search of all three libraries, two of the rows chosen,
// Add. Runs only inside the network namespaces of run_add_in_netns.sh, with the simulator on
// the far side of a veth pair writing its request log to $IOMIRA_E2E_SIM_LOG.
#include "common/event_pump.h"
#include "common/monitor_files.h"
#include "common/test_support.h"

#include "app/controller_directory.h"
#include "app/controller_search.h"
#include "app/demo_store.h"
#include "core/controller_keys.h"
#include "core/sqlite_store.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "ui/dialogs/add_controller_dialog.h"
#include "ui/main/main_frame.h"
#include "ui/main/quorvis2_app.h"
#include "ui/tree/device_list_pane.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace iomira {
namespace {

// The Modbus/TCP requests the simulator received; the device libraries' requests are left out.
std::vector<std::string> simulatorLog() {
    std::vector<std::string> lines;
    std::ifstream in(qgetenv("IOMIRA_E2E_SIM_LOG").toStdString());
    for (std::string line; std::getline(in, line);)
        if (line.find("\"library\"") == std::string::npos) lines.push_back(line);
    return lines;
}

QStringList rowTexts(QTreeWidget& list) {
    QStringList rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        rows << list.topLevelItem(i)->text(0) + " " + list.topLevelItem(i)->text(1);
    rows.sort();
    return rows;
}

TEST(SearchAndAdd, FoundControllersAreAddedConnectedAndPolled) {
    ASSERT_FALSE(qgetenv("IOMIRA_E2E_SIM_LOG").isEmpty()) << "run through run_add_in_netns.sh";
    QTemporaryDir dir;
    const QString storePath = dir.filePath("store.sqlite");
    qputenv("IOMIRA_STORE", storePath.toUtf8());
    qputenv("IOMIRA_DOCUMENTS", dir.filePath("documents").toUtf8());
    {
        auto seed = SqliteStore::open(storePath, nullptr);
        ASSERT_TRUE(writeSeedStore(*seed, {"Plant", "Annex"}, {}));
    }
    test::RecordingPrompts prompts;
    CQuorvis2App app;
    app.setPrompts(&prompts);
    ASSERT_TRUE(app.InitInstance());
    setLanguage(LANG_ENGLISH);
    CMainFrame* frame = app.mainFrame();
    CDeviceListPane* pane = frame->pane();

    QStringList found;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CAddIODevices*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QWidget* page = dialog->findChild<QTabWidget*>()->widget(0);
        auto* search = page->findChild<ControllerSearch*>();
        auto* list = page->findChild<QTreeWidget*>(QStringLiteral("Found"));
        page->findChild<QPushButton*>(QStringLiteral("Search"))->click();
        EXPECT_TRUE(test::pumpUntil([&] { return !search->running(); }, 20000));
        found = rowTexts(*list);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QString product = list->topLevelItem(i)->text(0);
            list->topLevelItem(i)->setSelected(product == "TKA-35" || product == "RLX-850");
        }
        dialog->findChild<QPushButton*>(QStringLiteral("Add"))->click();
        if (dialog->isVisible()) dialog->reject();
    });
    frame->addControllers();

    EXPECT_EQ(found, QStringList({"RLX-850 [02:00:00:00:01:05] Boiler room - [10.204.0.2]",
                                  "TKA-35 [00:30:F9:AA:00:01] press - [10.204.0.2]",
                                  "TKB-11 [02:00:00:00:00:0B] North gate - [10.204.0.2]"}));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();

    ControllerDirectory& directory = pane->directory();
    std::vector<CQUORVISData> added;
    directory.controllers()->table().forEach([&](const CQUORVISData& c) { added.push_back(c); });
    ASSERT_EQ(added.size(), 2u);
    const int plant = directory.groups().GroupAt(0)->RootID;
    for (const CQUORVISData& c : added) {
        EXPECT_EQ(c.RootID, plant);
        EXPECT_EQ(c.HostAddr, "10.204.0.2");
        EXPECT_NE(pane->findControllerItem(c.DeviceId), nullptr) << "shown in the tree";
        auto store = SqliteStore::open(storePath, nullptr);
        KeyValues stored;
        ASSERT_TRUE(store->readKey(controllerKeyName(c.DeviceId), stored));
        EXPECT_EQ(stored.text("DeviceComment"), c.DeviceComment);
    }
    EXPECT_EQ(pane->shownGroupId(), plant);

    // Both connect and are polled: the simulator sees reads from each.
    EXPECT_TRUE(test::pumpUntil(
        [&] {
            const std::vector<std::string> log = simulatorLog();
            return test::countRequests(log, "press", 2) >= 2 &&
                   test::countRequests(log, "boiler") >= 2;
        },
        15000));
    EXPECT_EQ(test::countRequests(simulatorLog(), "gate"), 0) << "the unchosen row";
    qunsetenv("IOMIRA_STORE");
    qunsetenv("IOMIRA_DOCUMENTS");
}

} // namespace
} // namespace iomira
