// The event viewer over a log folder the event log wrote: the day's lines in the table,
// filtered to one controller, the day followed as the file grows and rotates, damaged lines
// shown and marked, export of what is shown, other days picked, and "Trend" on a row.

#include "common/event_pump.h"
#include "common/test_support.h"
#include "common/written_log.h"
#include "core/log_entries.h"
#include "core/log_texts.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/history/log_table_model.h"
#include "ui/history/log_viewer_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::pumpUntil;
using test::WrittenLog;

class Viewer : public ::testing::Test {
  protected:
    Viewer() {
        log.lines(40, "Pump 1");
        log.lines(25, QString::fromUtf8("펌프 2"));
        log.appendRaw("Pump 1\tdamaged\r\n");
        log.lines(5, "Pump 1");
    }
    std::unique_ptr<CLogViewerWindow> open() {
        auto window = std::make_unique<CLogViewerWindow>(
            CLogViewerWindow::Context{log.folder(), prompts,
                                      [] {
                                          return QStringList{"Pump 1", "Tank 9"};
                                      },
                                      [this] { return log.day(); }});
        window->show();
        EXPECT_TRUE(settled(*window));
        return window;
    }
    static bool settled(CLogViewerWindow& window) {
        return pumpUntil([&] { return !window.model()->state().busy; });
    }
    static QString cell(CLogViewerWindow& window, int row, int column) {
        return window.model()->index(row, column).data().toString();
    }
    static void choose(QComboBox* box, const QString& text) {
        box->setCurrentIndex(box->findText(text));
    }

    WrittenLog log;
    test::RecordingPrompts prompts;
};

TEST_F(Viewer, ShowsTheDayWithTheFilesColumns) {
    auto window = open();
    LogTableModel* model = window->model();
    ASSERT_EQ(model->rowCount(), 71);
    ASSERT_EQ(model->columnCount(), 8);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole), "Com Name");
    EXPECT_EQ(model->headerData(7, Qt::Horizontal, Qt::DisplayRole), "Etc");
    EXPECT_EQ(cell(*window, 0, LOG_COM_NAME), "Pump 1");
    EXPECT_EQ(cell(*window, 0, LOG_STATE), "Established");
    EXPECT_EQ(cell(*window, 0, LOG_TIME), "20260506/10:00:00");
    EXPECT_EQ(cell(*window, 1, LOG_ETC), "Input port status");
    EXPECT_EQ(cell(*window, 40, LOG_COM_NAME), QString::fromUtf8("펌프 2"));
    EXPECT_EQ(window->statusLine()->text(), "71 lines");
    // The columns are as wide as their texts, and Etc fills the rest of the table.
    const QHeaderView* header = window->table()->horizontalHeader();
    EXPECT_GE(header->sectionSize(LOG_STATE),
              window->table()->fontMetrics().horizontalAdvance("Established"));
    EXPECT_EQ(header->sectionPosition(LOG_ETC) + header->sectionSize(LOG_ETC),
              window->table()->viewport()->width());
    EXPECT_EQ(window->windowTitle(), loadString(TEXT_LOG_VIEWER));
}

TEST_F(Viewer, ADamagedLineIsShownWholeAndMarked) {
    auto window = open();
    const QModelIndex etc = window->model()->index(65, LOG_ETC);
    EXPECT_EQ(etc.data().toString(), "Pump 1\tdamaged");
    EXPECT_EQ(cell(*window, 65, LOG_COM_NAME), "");
    EXPECT_TRUE(etc.data(Qt::ForegroundRole).isValid());
    EXPECT_TRUE(etc.data(Qt::ToolTipRole).toString().contains(loadString(TEXT_LOG_FLAW_COLUMNS)));
    EXPECT_FALSE(window->model()->index(64, LOG_ETC).data(Qt::ForegroundRole).isValid());
}

TEST_F(Viewer, FilteredToOneControllerChosenFromTheDayAndTheProgram) {
    auto window = open();
    QComboBox* controllers = window->controllerPicker();
    QStringList offered;
    for (int i = 0; i < controllers->count(); ++i)
        offered << controllers->itemText(i);
    EXPECT_EQ(offered, (QStringList{loadString(TEXT_LOG_VIEWER_ALL_CONTROLLERS), "Pump 1", "Tank 9",
                                    QString::fromUtf8("펌프 2")}));

    choose(controllers, QString::fromUtf8("펌프 2"));
    ASSERT_TRUE(pumpUntil([&] { return window->model()->rowCount() == 26; }));
    ASSERT_TRUE(settled(*window));
    EXPECT_EQ(window->model()->rowCount(), 26); // its 25 lines and the damaged one
    for (int row = 0; row < 25; ++row)
        EXPECT_EQ(cell(*window, row, LOG_COM_NAME), QString::fromUtf8("펌프 2")) << row;
    EXPECT_EQ(window->statusLine()->text(), "26 of 71 lines");

    window->categoryBox(LogLineCategory::Connection)->setChecked(false);
    window->categoryBox(LogLineCategory::Output)->setChecked(false);
    window->findField()->setText("PORT STATUS");
    ASSERT_TRUE(pumpUntil([&] { return window->model()->rowCount() == 5; }));
    ASSERT_TRUE(settled(*window));
    EXPECT_EQ(window->model()->rowCount(), 5);
    EXPECT_EQ(cell(*window, 0, LOG_ETC), "Input port status");

    choose(controllers, loadString(TEXT_LOG_VIEWER_ALL_CONTROLLERS));
    window->findField()->clear();
    for (const LogLineCategory category : kLogCategories)
        window->categoryBox(category)->setChecked(true);
    window->fromEdit()->setTime(QTime(10, 1, 0));
    window->toEdit()->setTime(QTime(10, 1, 4));
    ASSERT_TRUE(pumpUntil([&] { return window->model()->rowCount() == 6; }));
    EXPECT_EQ(cell(*window, 0, LOG_TIME), "20260506/10:01:00");
}

TEST_F(Viewer, TodayIsFollowedAsTheFileGrowsAndRotates) {
    auto window = open();
    QTableView* table = window->table();
    table->resize(800, 300);
    table->scrollToBottom();
    choose(window->controllerPicker(), "Pump 1");
    ASSERT_TRUE(pumpUntil([&] { return window->model()->rowCount() == 46; }));

    log.lines(7, "Pump 1");
    log.lines(3, "Tank 9");
    ASSERT_TRUE(pumpUntil([&] { return window->model()->rowCount() == 53; }));
    const QByteArray half = log.line("Pump 1", logText(TEXT_RESPONSE_OUTPUTS));
    log.appendRaw(half.left(30));
    log.rotate(QTime(16, 0, 0));
    log.lines(2, "Pump 1");
    ASSERT_TRUE(pumpUntil([&] { return window->model()->rowCount() == 56; }));
    EXPECT_EQ(cell(*window, 53, LOG_ETC), QString::fromUtf8(half.left(30)));
    EXPECT_EQ(cell(*window, 55, LOG_TIME), "20260506/16:00:01");
    // The table was at its end and stays there.
    EXPECT_TRUE(pumpUntil([&] {
        const QScrollBar* bar = table->verticalScrollBar();
        return bar->maximum() > 0 && bar->value() == bar->maximum();
    }));
}

TEST_F(Viewer, ExportsTheRowsShown) {
    auto window = open();
    choose(window->controllerPicker(), QString::fromUtf8("펌프 2"));
    window->categoryBox(LogLineCategory::Other)->setChecked(false);
    window->findField()->setText("analog");
    ASSERT_TRUE(pumpUntil([&] { return window->model()->rowCount() == 5; }));
    ASSERT_TRUE(settled(*window));
    QTemporaryDir out;
    QString proposed;
    window->chooseExportFile = [&](const QString& path) {
        proposed = path;
        return out.filePath("pumps.csv");
    };
    window->findChild<QPushButton*>("Export")->click();
    EXPECT_TRUE(proposed.endsWith("/20260506.csv")) << proposed.toStdString();
    const QByteArray csv = test::readFile(out.filePath("pumps.csv"));
    QList<QByteArray> lines = csv.split('\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], "Com Name,Peer IP,Tag Name,State,Time,Address,Value,Etc\r");
    EXPECT_EQ(lines[1], "\xED\x8E\x8C\xED\x94\x84 2,,ANALOG,,20260506/10:00:42,1,2,Analog value\r");
    EXPECT_TRUE(prompts.shown.isEmpty());

    EXPECT_FALSE(window->exportTo(out.filePath("missing/folder/x.csv")));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains(out.filePath("missing/folder/x.csv")));
}

TEST_F(Viewer, OtherDaysArePicked) {
    log.at(QDateTime(QDate(2026, 5, 4), QTime(8, 0, 0)));
    log.lines(3, "Yesterday's pump");
    log.at(QDateTime(QDate(2026, 5, 6), QTime(12, 0, 0)));
    auto window = open();
    QComboBox* days = window->dayPicker();
    ASSERT_EQ(days->count(), 2);
    EXPECT_EQ(days->itemText(0), "2026-05-06");
    EXPECT_EQ(days->itemText(1), "2026-05-04");
    days->setCurrentIndex(1);
    emit days->activated(1);
    ASSERT_TRUE(settled(*window));
    EXPECT_EQ(window->day(), QDate(2026, 5, 4));
    EXPECT_EQ(window->model()->rowCount(), 3);
    EXPECT_EQ(cell(*window, 0, LOG_COM_NAME), "Yesterday's pump");
}

TEST_F(Viewer, ADayWithoutFilesSaysSo) {
    QTemporaryDir empty;
    CLogViewerWindow window(
        {empty.filePath("Iomira"), prompts, {}, [] { return QDate(2026, 5, 6); }});
    window.show();
    ASSERT_TRUE(settled(window));
    EXPECT_EQ(window.model()->rowCount(), 0);
    EXPECT_EQ(window.statusLine()->text(),
              loadString(TEXT_LOG_VIEWER_NO_FILES).arg(empty.filePath("Iomira")));
}

TEST_F(Viewer, TrendOfARowNamesItsControllerAndTime) {
    auto window = open();
    QString controller;
    QDateTime time;
    QObject::connect(window.get(), &CLogViewerWindow::trendRequested,
                     [&](const QString& name, const QDateTime& at) {
                         controller = name;
                         time = at;
                     });
    window->requestTrend(3);
    EXPECT_EQ(controller, "Pump 1");
    EXPECT_EQ(time, QDateTime(QDate(2026, 5, 6), QTime(10, 0, 3)));
    controller.clear();
    window->requestTrend(42); // not one of the program's controllers
    window->requestTrend(65); // the damaged line has neither
    window->requestTrend(1000);
    EXPECT_TRUE(controller.isEmpty());
}

} // namespace
} // namespace iomira
