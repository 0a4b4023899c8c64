// The log settings dialog, the warning settings dialog, the in-place editor and the busy
// window.

#include "core/controller_keys.h"
#include "core/global_settings.h"
#include "core/root_data.h"
#include "core/sqlite_store.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "ui/common/busy_window.h"
#include "ui/common/in_place_edit.h"
#include "ui/dialogs/manage_log_dialog.h"
#include "ui/dialogs/warning_settings_dialog.h"
#include "windows_rig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace iomira {
namespace {

// A store with groups and controllers of its own, as the dialogs see them.
class DialogData : public ::testing::Test {
  protected:
    DialogData() {
        setLanguage(LANG_ENGLISH);
        store = SqliteStore::open(dir.filePath("s.sqlite"), nullptr);
        groups.insert(std::make_unique<CROOTData>(10, "Plant", 0));
        groups.insert(std::make_unique<CROOTData>(20, "Annex", 1));
        add(1, 10, "Pump", 0, 2);
        add(2, 10, "Fan", 0, 2);
        add(3, 10, "Gate", 1, 0);
        add(4, 20, "Boiler", 1, 4);
        add(5, 20, "Ab", 1, 1);
    }
    void add(int id, int root, const QString& name, int useLog, int outputs) {
        auto c = std::make_unique<CQUORVISData>();
        c->DeviceId = id;
        c->RootID = root;
        c->Index = table.CountInGroup(root);
        c->DeviceComment = name;
        c->UseLog = useLog;
        c->NumberOfPortOutput = outputs;
        saveController(*store, *c);
        table.insert(std::move(c));
    }
    CQUORVISData stored(int id) {
        KeyValues values;
        store->readKey(controllerKeyName(id), values);
        return readController(values);
    }
    std::function<void(const CQUORVISData&)> saver() {
        return [this](const CQUORVISData& c) { saveController(*store, c); };
    }

    QTemporaryDir dir;
    std::unique_ptr<SqliteStore> store;
    ControllerTable table;
    SharedControllers shared{table};
    CROOTDataList groups;
    test::RecordingPrompts prompts;
};

TEST_F(DialogData, StartAndStopChangeUseLogInTheStore) {
    std::vector<std::pair<QString, int>> written;
    CManageLogDlg dialog({shared, groups, prompts, saver(), [](const GlobalValue&) { return 1; },
                          [&](const GlobalValue& v, int data) {
                              written.push_back({v.name, data});
                          }});
    ASSERT_EQ(dialog.groupChoice()->currentData().toInt(), 10);
    EXPECT_EQ(dialog.unlogged()->count(), 2);
    EXPECT_EQ(dialog.unlogged()->item(0)->text(), "Fan") << "the left list sorts itself";

    dialog.start();
    EXPECT_EQ(prompts.shown, QStringList{"Please select I/O controllers."});
    dialog.unlogged()->item(1)->setSelected(true); // Pump
    dialog.start();
    EXPECT_EQ(stored(1).UseLog, 1);
    EXPECT_EQ(stored(2).UseLog, 0);
    EXPECT_EQ(dialog.unlogged()->count(), 1);
    EXPECT_EQ(dialog.logged()->topLevelItemCount(), 4);

    dialog.logged()->topLevelItem(0)->setSelected(true); // Annex / Ab
    dialog.stop();
    EXPECT_EQ(stored(5).UseLog, 0);
    EXPECT_EQ(table.find(5)->UseLog, 0);
    EXPECT_EQ(dialog.logged()->topLevelItemCount(), 3);

    dialog.groupChoice()->setCurrentIndex(1);
    EXPECT_EQ(dialog.unlogged()->count(), 1);
    dialog.switchBox(2)->click();
    EXPECT_EQ(written, (std::vector<std::pair<QString, int>>{{"LOG_TCP", 0}}));
}

TEST_F(DialogData, DeletingOldLogFilesIsStoredAndShownAgainWhenReopened) {
    auto context = [this]() -> CManageLogDlg::Context {
        return {shared,
                groups,
                prompts,
                saver(),
                [this](const GlobalValue& v) { return getGlobal(*store, v); },
                [this](const GlobalValue& v, int data) { setGlobal(*store, v, data); }};
    };
    {
        CManageLogDlg dialog(context());
        EXPECT_FALSE(dialog.deleteOldFilesBox()->isChecked());
        EXPECT_EQ(dialog.deleteOldFilesBox()->text(), "Delete daily log files older than");
        EXPECT_EQ(dialog.keepDaysBox()->value(), 30);
        EXPECT_FALSE(dialog.keepDaysBox()->isEnabled());
        EXPECT_EQ(dialog.keepDaysBox()->minimum(), 1);
        EXPECT_EQ(dialog.keepDaysBox()->maximum(), 3650);
        dialog.deleteOldFilesBox()->click();
        EXPECT_TRUE(dialog.keepDaysBox()->isEnabled());
        dialog.keepDaysBox()->setValue(90);
        EXPECT_EQ(getGlobal(*store, LOG_DELETE_OLD_FILES), 1);
        EXPECT_EQ(getGlobal(*store, LOG_DELETE_OLD_FILES_DAYS), 90);
        EXPECT_EQ(getGlobal(*store, LOG_TCP), 1) << "the other switches are left alone";
    }
    {
        CManageLogDlg dialog(context());
        EXPECT_TRUE(dialog.deleteOldFilesBox()->isChecked());
        EXPECT_EQ(dialog.keepDaysBox()->value(), 90);
        dialog.deleteOldFilesBox()->click();
        EXPECT_EQ(getGlobal(*store, LOG_DELETE_OLD_FILES), 0);
        EXPECT_EQ(getGlobal(*store, LOG_DELETE_OLD_FILES_DAYS), 90);
    }
    setGlobal(*store, LOG_DELETE_OLD_FILES_DAYS, 9999); // not a value the dialog writes
    CManageLogDlg dialog(context());
    EXPECT_FALSE(dialog.deleteOldFilesBox()->isChecked());
    EXPECT_EQ(dialog.keepDaysBox()->value(), 30);
}

TEST_F(DialogData, WarningDialogStoresWhatTheFieldsShow) {
    std::vector<int> refreshed;
    CWarningMSGDlg dialog(
        {shared, groups, prompts, saver(), [&](int id) { refreshed.push_back(id); }});
    int controllers = 0;
    for (QTreeWidgetItemIterator it(dialog.tree()); *it; ++it)
        controllers += (*it)->parent() ? 1 : 0;
    EXPECT_EQ(controllers, 4) << "Gate has no outputs";

    EXPECT_FALSE(dialog.apply());
    EXPECT_EQ(prompts.shown.last(), "Please, select I/O controllers.");
    dialog.selectController(4);
    WarningForm form = dialog.form();
    form.use = true;
    form.type = 1;
    form.rowUse[1] = false;
    form.rowOn[1] = "On %s?";
    dialog.setForm(form);
    prompts.answer = false;
    EXPECT_FALSE(dialog.apply());
    EXPECT_EQ(stored(4).UseWarningMsg, 0);
    prompts.answer = true;
    EXPECT_TRUE(dialog.apply());
    const CQUORVISData c = stored(4);
    EXPECT_EQ(c.UseWarningMsg, 1);
    EXPECT_EQ(c.WarningMsgType, 1);
    EXPECT_EQ(c.DoMsgOnOn[1], "On %s?");
    EXPECT_EQ(c.UseWarningMsgDo[1], 0);
    EXPECT_EQ(c.UseWarningMsgDo[0], 1);
    EXPECT_EQ(c.DoMsgOnOff[0], "Are you sure to change the status of output port ( %s) to OFF?");
    EXPECT_EQ(refreshed, std::vector<int>{4});
}

TEST(InPlaceEditor, AllowedCharactersFilterTypingAndPasting) {
    EXPECT_TRUE(allowedText("", "anything at all"));
    EXPECT_TRUE(allowedText("0123456789", "2024"));
    EXPECT_FALSE(allowedText("0123456789", "20x4"));

    QWidget owner;
    owner.resize(200, 60);
    owner.show();
    std::vector<QString> ended;
    CInPlaceEdit* editor = CInPlaceEdit::shared();
    editor->begin(
        &owner, QRect(0, 0, 150, 24), "12", 1, 3,
        [&](int, int, const QString& text) { ended.push_back(text); }, "0123456789");
    editor->end(false);
    QTest::keyClicks(editor, "3a4");
    EXPECT_EQ(editor->text(), "1234");
    editor->selectAll();
    editor->insert("5b");
    EXPECT_EQ(editor->text(), "1234") << "pasted text with a refused character is refused whole";
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(ended, std::vector<QString>{"1234"});
    EXPECT_FALSE(editor->editing());

    editor->begin(&owner, QRect(0, 0, 150, 24), "name", 2, 0,
                  [&](int kind, int port, const QString& text) {
                      ended.push_back(QString("%1/%2/%3").arg(kind).arg(port).arg(text));
                  });
    QTest::keyClicks(editor, "xyz");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(ended.back(), "2/0/name");
}

TEST(BusyWindow, TwelveDistinctFramesAndCentredOverTheArea) {
    std::vector<QImage> frames;
    for (int f = 0; f < kSpinnerFrames; ++f)
        frames.push_back(spinnerFrame(f, 1.0).toImage());
    EXPECT_EQ(frames[0].size(), QSize(40, 40));
    for (int f = 1; f < kSpinnerFrames; ++f)
        EXPECT_NE(frames[f], frames[f - 1]) << f;
    EXPECT_EQ(spinnerFrame(0, 2.0).toImage().size(), QSize(80, 80));

    ShowBusy("Searching", QRect(100, 100, 600, 400));
    CMsgDlg* busy = CMsgDlg::instance(false);
    ASSERT_NE(busy, nullptr);
    EXPECT_EQ(busy->text(), "Searching");
    const QPoint offset = busy->geometry().center() - QRect(100, 100, 600, 400).center();
    EXPECT_LE(offset.manhattanLength(), 2);
    const int start = busy->frame();
    EXPECT_TRUE(test::pumpUntil([&] { return busy->frame() != start; }, 2000));
    HideBusy();
    EXPECT_FALSE(busy->isVisible());
}

} // namespace
} // namespace iomira
