// The whole start-up on a prepared store: language, menus, title, the log file and the
// controllers connected and polled.

#include "common/monitor_files.h"

#include "app/backup_restore.h"
#include "app/demo_store.h"
#include "app/tree_texts.h"
#include "core/controller_keys.h"
#include "core/global_settings.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "sim_child.h"
#include "ui/common/tree_icons.h"
#include "ui/main/main_frame.h"
#include "ui/main/quorvis2_app.h"
#include "ui/tree/device_list_pane.h"
#include "ui/tree/view_tree.h"

#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace iomira {
namespace {

using test::pumpUntil;

class StartUp : public ::testing::Test {
  protected:
    StartUp() : sim(test::simDevice("io", "TKA-35", "unit_id = 1\ninputs = 1\n")) {
        storePath = dir.filePath("store.sqlite");
        qputenv("IOMIRA_STORE", storePath.toUtf8());
        qputenv("IOMIRA_DOCUMENTS", dir.filePath("documents").toUtf8());
        seed = SqliteStore::open(storePath, nullptr);
    }
    ~StartUp() override {
        qunsetenv("IOMIRA_STORE");
        qunsetenv("IOMIRA_DOCUMENTS");
        setLanguage(LANG_ENGLISH);
    }
    void writeDemo(int controllers) {
        std::vector<SeedController> list;
        for (int i = 0; i < controllers; ++i)
            list.push_back({"TKA-35", QStringLiteral("Pump %1").arg(i), sim.port("io"), i % 2});
        ASSERT_TRUE(writeSeedStore(*seed, {"Plant", "Annex"}, list));
    }
    std::unique_ptr<CQuorvis2App> startApp() {
        auto app = std::make_unique<CQuorvis2App>();
        app->setPrompts(&prompts);
        EXPECT_TRUE(app->InitInstance());
        return app;
    }
    QStringList menuTitles(CMainFrame* frame) {
        QStringList out;
        for (QAction* a : frame->menuBar()->actions())
            out << a->text();
        return out;
    }

    QTemporaryDir dir;
    QString storePath;
    std::unique_ptr<SqliteStore> seed;
    simtest::SimChild sim;
    test::RecordingPrompts prompts;
};

TEST_F(StartUp, UnknownLanguageIsResetAndTheSystemLanguageUsed) {
    setGlobal(*seed, LANGUAGE, 7);
    auto app = startApp();
    EXPECT_EQ(getGlobal(*seed, LANGUAGE), 0);
    EXPECT_EQ(app->languageId(), 0);
    EXPECT_EQ(currentLanguage(), languageForSetting(0, QLocale::system()));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(StartUp, StoredLanguageCaptionsTheMenus) {
    setGlobal(*seed, LANGUAGE, 1);
    auto app = startApp();
    EXPECT_EQ(app->languageId(), LANG_KOREAN);
    const QStringList titles = menuTitles(app->mainFrame());
    EXPECT_EQ(titles, (QStringList{loadString(151, LANG_KOREAN), loadString(163, LANG_KOREAN),
                                   loadString(438, LANG_KOREAN), loadString(439, LANG_KOREAN)}));
    EXPECT_EQ(app->mainFrame()->windowTitle(), loadString(134, LANG_KOREAN));
}

TEST_F(StartUp, ControllersAreConnectedPolledAndLogged) {
    writeDemo(4);
    auto app = startApp();
    CMainFrame* frame = app->mainFrame();
    // The first controller was open last time: its group is shown and named in the title.
    EXPECT_EQ(frame->windowTitle(), "Iomira 2.1C (January 23, 2024) - Plant");
    ASSERT_NE(frame->pane()->tree()->currentItem(), nullptr);
    EXPECT_EQ(frame->pane()->tree()->currentItem()->text(0), "Pump 0");
    ASSERT_TRUE(pumpUntil([&] {
        bool all = true;
        app->controllers().forEach([&](const CQUORVISData& c) {
            all = all && frame->pane()->findControllerItem(c.DeviceId)->icon(0).cacheKey() ==
                             treeIcon(ICON_CONNECTED).cacheKey();
        });
        return all;
    }));
    // A poll a second reaches the simulator.
    const int before = test::countRequests(sim.log_lines(), "io", 2);
    test::pumpFor(2200);
    EXPECT_GE(test::countRequests(sim.log_lines(), "io", 2) - before, 4 * 2);

    const QDir logs(dir.filePath("documents/Iomira"));
    const QStringList files = logs.entryList({"*.txt"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QFile file(logs.filePath(files[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(
        text.startsWith("Com Name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\tEtc\r\n"));
    EXPECT_TRUE(text.contains("Pump 3\t127.0.0.1\t\tConnecting\t"));
    EXPECT_TRUE(text.contains("\tSend a read request to input ports\r\n"));
    EXPECT_TRUE(text.contains("\tInput port status\r\n"));
}

// The bytes of the only log file of this start, waited for until all of `wanted` are in them.
QByteArray logBytes(const QTemporaryDir& dir, const QList<QByteArray>& wanted) {
    const QDir logs(dir.filePath("documents/Iomira"));
    QByteArray bytes;
    test::pumpUntil([&] {
        const QStringList files = logs.entryList({"*.txt"}, QDir::Files);
        if (files.size() != 1) return false;
        QFile file(logs.filePath(files[0]));
        bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return std::all_of(wanted.begin(), wanted.end(),
                           [&](const QByteArray& w) { return bytes.contains(w); });
    });
    return bytes;
}

// Log files are read by tools that know the English messages, whatever the user's language.
TEST_F(StartUp, LogLinesAreEnglishInKorean) {
    setGlobal(*seed, LANGUAGE, 1);
    writeDemo(2);
    auto app = startApp();
    ASSERT_EQ(app->languageId(), LANG_KOREAN);
    const QList<QByteArray> english = {
        "\tSend a read request to input ports.\r\n", "\tSend a read request to input ports\r\n",
        "\tResponse of read input ports\r\n", "\tInput port status\r\n"};
    const QByteArray bytes = logBytes(dir, english);
    for (const QByteArray& text : english)
        EXPECT_TRUE(bytes.contains(text)) << text.toStdString();
    for (int id : {TEXT_SEND_READ_INPUTS_INITIAL, TEXT_SEND_READ_INPUTS, TEXT_RESPONSE_INPUTS})
        EXPECT_FALSE(bytes.contains(loadString(id, LANG_KOREAN).toUtf8())) << id;
}

// A connection line is a state entry without a message: its line ends in a TAB.
TEST_F(StartUp, StoredTcpSwitchOffKeepsConnectionsOutOfTheFirstLines) {
    setGlobal(*seed, LOG_TCP, 0);
    writeDemo(2);
    auto app = startApp();
    const QByteArray bytes = logBytes(dir, {"\tInput port status\r\n"});
    ASSERT_TRUE(bytes.contains("\tInput port status\r\n"));
    EXPECT_FALSE(bytes.contains("\t\r\n")) << bytes.toStdString();
}

TEST_F(StartUp, GroupMenuListsGroupsOnlyWhenThereAreTwo) {
    writeDemo(2);
    auto app = startApp();
    QMenu* group = app->mainFrame()->findChild<QMenu*>("GroupMenu");
    ASSERT_NE(group, nullptr);
    emit group->aboutToShow();
    QStringList checked;
    QStringList names;
    for (QAction* a : group->actions()) {
        if (a->data().toInt() >= 11024 && a->data().toInt() <= 11024 + 4000) {
            names << a->text();
            if (a->isChecked()) checked << a->text();
        }
    }
    EXPECT_EQ(names, (QStringList{"Plant", "Annex"}));
    EXPECT_EQ(checked, QStringList{"Plant"});
    // Every item of the Group menu works.
    const std::set<int> working = {32771, 32795, 32799, 32800, 32802, 32825};
    for (QAction* a : group->actions()) {
        if (!a->isSeparator() && a->data().toInt() > 11024 + 4000) {
            EXPECT_EQ(a->isEnabled(), working.count(a->data().toInt()) == 1)
                << a->text().toStdString();
        }
    }
}

TEST_F(StartUp, ASecondProgramOnTheSameStoreSaysSoAndEnds) {
    auto first = startApp();
    test::RecordingPrompts told;
    CQuorvis2App second;
    second.setPrompts(&told);
    EXPECT_FALSE(second.InitInstance());
    ASSERT_EQ(told.shown.size(), 1);
    EXPECT_TRUE(told.shown[0].contains(storePath)) << told.shown[0].toStdString();
}

TEST_F(StartUp, ARestoreOfManyControllersFillsTheTreeInGroupsOfThirty) {
    auto app = startApp();
    BackupContents file;
    file.groups = {CROOTData(9, QStringLiteral("Line"), 0)};
    for (int i = 0; i < 65; ++i) {
        CQUORVISData c;
        c.DeviceComment = QStringLiteral("C%1").arg(i);
        c.RootID = 9;
        c.Index = i;
        c.HostAddr = QStringLiteral("127.0.0.1");
        c.HostPort = 502;
        file.controllers.emplace_back(c);
    }
    ConfigurationTables tables = app->configuration();
    const RestoreSummary summary = applyRestore(tables, file, prompts, RestoreExisting::Replace);
    EXPECT_EQ(summary.controllers, 65);
    CDeviceListPane* pane = app->mainFrame()->pane();
    QStringList names;
    QList<int> children;
    for (int i = 0; i < pane->tree()->topLevelItemCount(); ++i) {
        names << pane->tree()->topLevelItem(i)->text(0);
        children << pane->tree()->topLevelItem(i)->childCount();
    }
    EXPECT_EQ(names, (QStringList{"Line", "Line(1)", "Line(2)"}));
    EXPECT_EQ(children, (QList<int>{30, 30, 5}));
}

TEST_F(StartUp, InputNotificationSwitchIsStoredFromTheAdvancedMenu) {
    auto app = startApp();
    QMenu* advanced = app->mainFrame()->findChild<QMenu*>("AdvancedMenu");
    ASSERT_NE(advanced, nullptr);
    emit advanced->aboutToShow();
    emit advanced->aboutToShow(); // appended once, however often it opens
    QAction* disable = nullptr;
    int appendedSwitches = 0;
    for (QAction* a : advanced->actions()) {
        if (a->data().toInt() == 32822) disable = a;
        if (a->data().toInt() == 32822 || a->data().toInt() == 32823) ++appendedSwitches;
    }
    ASSERT_NE(disable, nullptr);
    EXPECT_EQ(appendedSwitches, 2);
    disable->trigger();
    EXPECT_EQ(getGlobal(*seed, INPUT_NOTIFICATION), 0);
    EXPECT_EQ(app->switches().inputNotification, 0);
}

QAction* findCommand(QWidget* root, int command) {
    for (QAction* action : root->findChildren<QAction*>())
        if (action->data().toInt() == command) return action;
    return nullptr;
}

TEST_F(StartUp, ASwitchSavedWhileAnotherProgramHoldsTheStoreIsKeptAndWrittenWhenItIsFree) {
    auto app = startApp();
    const QString held = storeWritesHeldMessage(storePath, loadString(TEXT_STORE_HELD));
    {
        test::HeldByAnotherProgram holder(storePath);
        app->mainFrame()->setInputNotification(0);
        app->mainFrame()->setLinkNotification(false);
        ASSERT_TRUE(pumpUntil([&] { return prompts.shown.contains(held); }));
        EXPECT_EQ(prompts.shown.count(held), 1);
        EXPECT_EQ(getGlobal(app->store(), INPUT_NOTIFICATION), 0);
        EXPECT_EQ(getGlobal(*seed, INPUT_NOTIFICATION), 1);
    }
    const QString saved = storeWritesSavedMessage(storePath);
    ASSERT_TRUE(pumpUntil([&] { return prompts.shown.contains(saved); }));
    EXPECT_EQ(getGlobal(*seed, INPUT_NOTIFICATION), 0);
    EXPECT_EQ(getGlobal(*seed, LINK_NOTIFICATION), 0);
    EXPECT_EQ(prompts.shown, QStringList({held, saved}));
}

TEST_F(StartUp, WritesStillHeldAtTheEndGetOneLastChanceAndAreNamedWhenRefused) {
    auto app = startApp();
    {
        test::HeldByAnotherProgram holder(storePath);
        app->mainFrame()->setInputNotification(0);
        holder.release();
        app.reset(); // before the retry timer had its turn
    }
    EXPECT_EQ(getGlobal(*seed, INPUT_NOTIFICATION), 0);

    app = startApp();
    test::HeldByAnotherProgram holder(storePath);
    app->mainFrame()->setInputNotification(1);
    app.reset();
    EXPECT_EQ(prompts.shown.last(),
              storeWritesLostMessage(storePath, loadString(TEXT_STORE_HELD), 1));
    EXPECT_EQ(getGlobal(*seed, INPUT_NOTIFICATION), 0);
}

TEST_F(StartUp, ChoosingALanguageStoresItAndWaitsForTheNextStart) {
    setGlobal(*seed, LANGUAGE, 2);
    auto app = startApp();
    QAction* korean = findCommand(app->mainFrame(), 32838);
    ASSERT_NE(korean, nullptr);
    korean->trigger();
    EXPECT_EQ(getGlobal(*seed, LANGUAGE), 1);
    EXPECT_EQ(prompts.shown, QStringList{"Restart Iomira to apply the changed language."});
    EXPECT_EQ(menuTitles(app->mainFrame()).first(), "Group");
    EXPECT_EQ(currentLanguage(), LANG_ENGLISH);
}

TEST_F(StartUp, ExitAsksFirstAndOnlyYesCloses) {
    auto app = startApp();
    CMainFrame* frame = app->mainFrame();
    prompts.answer = false;
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(prompts.shown, QStringList{"Are you sure to exit the program?"});
    prompts.answer = true;
    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(frame->isVisible());
}

} // namespace
} // namespace iomira
