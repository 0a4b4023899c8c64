// Lost, silent and restored links in the running program: the notification window's lines,
// the Advanced menu's switch, the status bar's counts and the log, against the simulator.

#include "common/monitor_files.h"

#include "app/demo_store.h"
#include "core/global_settings.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "sim_child.h"
#include "ui/main/main_frame.h"
#include "ui/main/quorvis2_app.h"
#include "ui/tree/device_list_pane.h"
#include "ui/windows/notification_window.h"

#include <QDir>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::pumpUntil;

const std::string kDevices = test::simDevice("a", "TKA-35", "unit_id = 1\ninputs = 0\n") +
                             test::simDevice("b", "TKA-35", "unit_id = 1\ninputs = 0\n") +
                             test::simDevice("c", "TKA-35", "unit_id = 1\ninputs = 0\n");

class Links : public ::testing::Test {
  protected:
    Links() : sim(kDevices) {
        setLanguage(LANG_ENGLISH);
        qputenv("IOMIRA_STORE", dir.filePath("store.sqlite").toUtf8());
        qputenv("IOMIRA_DOCUMENTS", dir.filePath("documents").toUtf8());
        seed = SqliteStore::open(dir.filePath("store.sqlite"), nullptr);
        std::vector<SeedController> list;
        for (const char* device : {"a", "b", "c"})
            list.push_back({"TKA-35", QStringLiteral("Pump %1").arg(device), sim.port(device), 0});
        EXPECT_TRUE(writeSeedStore(*seed, {"Plant"}, list));
    }
    ~Links() override {
        qunsetenv("IOMIRA_STORE");
        qunsetenv("IOMIRA_DOCUMENTS");
    }
    void start() {
        app = std::make_unique<CQuorvis2App>();
        app->setPrompts(&prompts);
        ASSERT_TRUE(app->InitInstance());
        messages = app->mainFrame()->pane()->findChild<CDlgMSG*>();
        ASSERT_NE(messages, nullptr);
        ASSERT_TRUE(pumpUntil([&] { return counts().connected == 3; }));
        ASSERT_TRUE(pumpUntil([&] { return everyoneAnswered(); }));
    }
    bool everyoneAnswered() {
        bool all = true;
        app->controllers().forEach([&](const CQUORVISData& c) { all = all && c.LastAnswerMs; });
        return all;
    }
    LinkCounts counts() { return countLinks(app->controllers()); }
    QString statusText() {
        app->mainFrame()->showLinkCounts();
        return app->mainFrame()->linkStatus()->text();
    }
    QStringList lines() {
        QStringList out;
        const NotificationList& list = messages->messages();
        NotificationList copy = list;
        copy.first();
        for (int i = 0; i < copy.count(); ++i, copy.next())
            out << copy.currentText().section('\n', 0, 0);
        return out;
    }
    QByteArray logText() {
        const QDir logs(dir.filePath("documents/Iomira"));
        QByteArray bytes;
        for (const QString& name : logs.entryList({"*.txt"}, QDir::Files)) {
            QFile file(logs.filePath(name));
            if (file.open(QIODevice::ReadOnly)) bytes += file.readAll();
        }
        return bytes;
    }

    QTemporaryDir dir;
    simtest::SimChild sim;
    std::unique_ptr<SqliteStore> seed;
    test::RecordingPrompts prompts;
    std::unique_ptr<CQuorvis2App> app;
    CDlgMSG* messages = nullptr;
};

TEST_F(Links, ADroppedLinkGivesOneLostLineAndOneRestoredLine) {
    start();
    EXPECT_EQ(messages->messages().count(), 0);
    sim.command("drop a");
    ASSERT_TRUE(pumpUntil([&] { return messages->messages().count() >= 1; }));
    // The peer's close is retried at once; the first answer restores the link.
    ASSERT_TRUE(pumpUntil([&] { return messages->messages().count() >= 2; }, 8000));
    test::pumpFor(1500);
    EXPECT_EQ(lines(), (QStringList{"[I/O controller(Pump a)] Communication lost",
                                    "[I/O controller(Pump a)] Communication restored"}));
    const QByteArray log = logText();
    EXPECT_EQ(log.count("\tCommunication lost\r\n"), 1);
    EXPECT_EQ(log.count("\tCommunication restored\r\n"), 1);
}

TEST_F(Links, TheOperatorsDisconnectRaisesNothingAndTheSwitchStopsThePopUps) {
    start();
    CQUORVISData* a = nullptr;
    app->controllers().forEach([&](const CQUORVISData& c) {
        if (c.DeviceComment == "Pump a") a = const_cast<CQUORVISData*>(&c);
    });
    ASSERT_NE(a, nullptr);
    // As the Disconnect command does it.
    a->ReconnectWanted = 0;
    ASSERT_TRUE(app->mainFrame()->disconnectController(a->DeviceId));
    test::pumpFor(500);
    EXPECT_EQ(messages->messages().count(), 0);

    QMenu* advanced = app->mainFrame()->findChild<QMenu*>("AdvancedMenu");
    ASSERT_NE(advanced, nullptr);
    emit advanced->aboutToShow();
    QAction* item = nullptr;
    for (QAction* action : advanced->actions())
        if (action->text() == loadString(TEXT_LINK_NOTIFY_ITEM)) item = action;
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_EQ(getGlobal(*seed, LINK_NOTIFICATION), 0);
    sim.command("drop b");
    ASSERT_TRUE(
        pumpUntil([&] { return logText().contains("\tCommunication restored\r\n"); }, 8000));
    EXPECT_EQ(messages->messages().count(), 0);
}

TEST_F(Links, TheStatusBarFollowsSilenceErrorsAndResumption) {
    // The silent controller must not be dropped meanwhile: a change across a reconnection is
    // only a new image.
    corvel_set_answer_timeout(60000);
    start();
    EXPECT_TRUE(statusText().startsWith(
        "Connected 3 · Listening 0 · Error 0 · Not responding 0 · of 3  |  Last answer "))
        << statusText().toStdString();
    sim.command("silent b");
    ASSERT_TRUE(pumpUntil([&] { return counts().notResponding == 1; }, 6000));
    EXPECT_TRUE(statusText().startsWith("Connected 2 · Listening 0 · Error 0 · Not responding 1"));
    EXPECT_TRUE(logText().contains("\tNot responding\r\n"));
    EXPECT_EQ(lines(), QStringList{"[I/O controller(Pump b)] Communication lost"});

    sim.command("refuse c on");
    sim.command("drop c");
    ASSERT_TRUE(pumpUntil([&] { return counts().error == 1; }, 6000));
    EXPECT_TRUE(statusText().startsWith("Connected 1 · Listening 0 · Error 1 · Not responding 1"));

    // An input switched while silent shows once answers resume.
    sim.command("input b 0 1");
    sim.command("resume b");
    sim.command("resume c");
    ASSERT_TRUE(pumpUntil([&] { return counts().connected == 3; }, 12000));
    EXPECT_TRUE(statusText().startsWith("Connected 3 · Listening 0 · Error 0 · Not responding 0"));
    ASSERT_TRUE(pumpUntil([&] { return lines().size() == 5; }, 3000))
        << lines().join('|').toStdString();
    EXPECT_EQ(lines().filter("Communication lost").size(), 2);
    EXPECT_EQ(lines().filter("Communication restored").size(), 2);
    EXPECT_EQ(lines().filter("digital port").size(), 1);
    corvel_set_answer_timeout(CORVEL_ANSWER_TIMEOUT_MS);
}

} // namespace
} // namespace iomira
