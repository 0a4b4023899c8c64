// The event viewer in the running program: opened from the View menu, once, over the log the
// program writes while it polls two controllers of a simulator, filtered to one of them,
// following the lines the polls keep adding, and a row's trend opened in the trend window.

#include "core/log_line.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/history/log_table_model.h"
#include "ui/history/log_viewer_window.h"
#include "ui/main/main_frame.h"
#include "ui/trend/trend_window.h"
#include "ui/windows/windows_rig.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

namespace iomira {
namespace {

constexpr int kLogViewerCommand = 33020;

QAction* viewerItem(CMainFrame* frame) {
    for (QMenu* menu : frame->findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (action->data() == kLogViewerCommand) return action;
        }
    }
    return nullptr;
}

bool hasRow(LogTableModel* model, const QString& etc) {
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->line(row).columns[LOG_ETC] == etc) return true;
    }
    return false;
}

TEST(ViewerOfTheProgram, ShowsOneControllersLinesAsThePollsWriteThem) {
    test::WindowsRig rig({{"io", "TKA-35", 0}, {"press", "RLX-850", 0}}, {"Plant"});
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.waitConnected("io"));
    ASSERT_TRUE(rig.waitConnected("press"));
    CMainFrame* frame = rig.app->mainFrame();
    QAction* item = viewerItem(frame);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), loadString(TEXT_LOG_VIEWER_MENU));
    item->trigger();
    item->trigger();
    ASSERT_EQ(frame->findChildren<CLogViewerWindow*>().size(), 1);
    CLogViewerWindow* window = frame->findChild<CLogViewerWindow*>();
    EXPECT_TRUE(window->isVisible());

    QComboBox* controllers = window->controllerPicker();
    ASSERT_TRUE(test::pumpUntil([&] { return controllers->findText("press") > 0; }));
    controllers->setCurrentIndex(controllers->findText("io"));
    LogTableModel* model = window->model();
    ASSERT_TRUE(test::pumpUntil([&] {
        return hasRow(model, "Input port status") &&
               hasRow(model, "Response of read input ports") && !model->state().busy;
    }));
    const int shown = model->rowCount();
    for (int row = 0; row < shown; ++row) {
        const LogLine line = model->line(row);
        EXPECT_FALSE(line.malformed()) << line.raw.toStdString();
        EXPECT_EQ(line.columns[LOG_COM_NAME], "io") << row;
        EXPECT_TRUE(line.columns[LOG_PEER_IP].isEmpty() || line.columns[LOG_PEER_IP] == "127.0.0.1")
            << row;
        EXPECT_TRUE(line.time.isValid()) << row;
    }
    EXPECT_LT(shown, model->state().rows); // the press's lines are left out
    // The program polls once a second; its new lines come in while the window is open.
    ASSERT_TRUE(test::pumpUntil([&] { return model->rowCount() > shown; }, 5000));
    EXPECT_EQ(model->line(model->rowCount() - 1).columns[LOG_COM_NAME], "io");
    EXPECT_TRUE(window->statusLine()->text().startsWith(
        loadString(TEXT_LOG_VIEWER_ROWS_FILTERED)
            .arg(QLocale().toString(model->rowCount()), QLocale().toString(model->state().rows))));

    // A row's "Trend" opens the trend window on that controller at the row's time.
    window->requestTrend(0);
    auto* trend = frame->findChild<CTrendWindow*>();
    ASSERT_NE(trend, nullptr);
    EXPECT_TRUE(trend->isVisible());
    ASSERT_FALSE(trend->session().channels().empty());
    for (const TrendChannel& channel : trend->session().channels())
        EXPECT_EQ(channel.deviceId, rig.deviceId("io"));
}

} // namespace
} // namespace iomira
