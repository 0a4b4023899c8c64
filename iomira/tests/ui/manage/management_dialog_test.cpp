// The management dialog as an operator drives it in the running program: after each move or
// deletion the lists, the tree, the store and the open windows agree.

#include "app/controller_management.h"
#include "core/controller_keys.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "ui/common/child_frame.h"
#include "ui/dialogs/management_dialog.h"
#include "ui/main/main_frame.h"
#include "ui/tree/device_list_pane.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/windows_rig.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <memory>

namespace iomira {
namespace {

using Side = CManagementDlg::Side;

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

class ManagementDialog : public ::testing::Test {
  protected:
    ManagementDialog()
        : rig({{"a1", "TKA-31", 0}, {"a2", "TKA-31", 0}, {"a3", "TKA-21", 0}, {"b1", "TKA-31", 1}},
              {"A", "B"}) {}

    void SetUp() override {
        ASSERT_TRUE(rig.start());
        setLanguage(LANG_ENGLISH);
        frame = rig.app->mainFrame();
        frame->setClosingConfirmed(true);
        pane = frame->pane();
        windows = frame->findChild<ControllerWindows*>();
        ASSERT_NE(windows, nullptr);
        management = std::make_unique<ControllerManagement>(pane->directory());
        dialog = std::make_unique<CManagementDlg>(*management, frame);
        dialog->showGroup = [this](int rootId) { pane->showGroup(rootId); };
    }
    void TearDown() override { dialog.reset(); }

    QStringList listed(Side side) const { return texts(dialog->controllerList(side)); }
    void select(Side side, const QStringList& names) {
        QListWidget* list = dialog->controllerList(side);
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setSelected(names.contains(list->item(row)->text()));
    }
    void click(const char* name) {
        auto* button = dialog->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
    // The controller items below a group in the tree.
    QStringList inTree(int rootId) const {
        QStringList names;
        QTreeWidgetItem* group = pane->findGroupItem(rootId);
        for (int i = 0; group && i < group->childCount(); ++i)
            names << group->child(i)->text(0);
        names.sort();
        return names;
    }
    QStringList visibleWindows() const {
        QStringList names;
        for (CChildFrame* f : windows->windows())
            if (f->isVisible()) names << f->controller().DeviceComment;
        names.sort();
        return names;
    }
    bool hasStoredKey(int deviceId) const {
        KeyValues values;
        return rig.seed->readKey(controllerKeyName(deviceId), values) && values.count() > 0;
    }

    test::WindowsRig rig;
    CMainFrame* frame = nullptr;
    CDeviceListPane* pane = nullptr;
    ControllerWindows* windows = nullptr;
    std::unique_ptr<ControllerManagement> management;
    std::unique_ptr<CManagementDlg> dialog;
};

TEST_F(ManagementDialog, TheGroupMenuOpensItOnTheFirstAndTheSecondGroup) {
    QMenu* menu = frame->findChild<QMenu*>(QStringLiteral("GroupMenu"));
    ASSERT_NE(menu, nullptr);
    QAction* manage = nullptr;
    for (QAction* a : menu->actions())
        if (a->data().toInt() == 32795) manage = a;
    ASSERT_NE(manage, nullptr);
    ASSERT_TRUE(manage->isEnabled());
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<CManagementDlg*>(QApplication::activeModalWidget());
        if (!shown) return;
        seen << shown->windowTitle() << shown->groupList(Side::Left)->currentText()
             << shown->groupList(Side::Right)->currentText()
             << texts(shown->controllerList(Side::Left)).join(',')
             << texts(shown->controllerList(Side::Right)).join(',')
             << shown->findChild<QPushButton*>(QStringLiteral("MoveRight"))->text()
             << shown->findChild<QPushButton*>(QStringLiteral("MoveLeft"))->text();
        shown->findChild<QPushButton*>(QStringLiteral("OK"))->click();
    });
    manage->trigger();
    EXPECT_EQ(seen, (QStringList{loadString(TEXT_APP_TITLE), "A", "B", "a1,a2,a3", "b1", "Move >>",
                                 "<< Move"}));
}

TEST_F(ManagementDialog, MovingShowsTheDestinationGroupWithTheMovedControllers) {
    ASSERT_EQ(visibleWindows(), (QStringList{"a1", "a2", "a3"}));
    select(Side::Left, {"a2", "a3"});
    click("MoveRight");

    EXPECT_TRUE(rig.prompts.shown.isEmpty()) << rig.prompts.shown.join('|').toStdString();
    EXPECT_EQ(listed(Side::Left), QStringList{"a1"});
    EXPECT_EQ(listed(Side::Right), (QStringList{"b1", "a2", "a3"}));
    EXPECT_EQ(inTree(0), QStringList{"a1"});
    EXPECT_EQ(inTree(1), (QStringList{"a2", "a3", "b1"}));
    EXPECT_EQ(pane->shownGroupId(), 1);
    EXPECT_EQ(visibleWindows(), (QStringList{"a2", "a3", "b1"}));
    const CQUORVISData a3 = rig.stored("a3");
    EXPECT_EQ(a3.RootID, 1);
    EXPECT_EQ(a3.Index, 2);
    EXPECT_EQ(rig.stored("a1").Index, 0);

    // Back on the old group, the moved controllers' windows are gone from view.
    pane->showGroup(0);
    EXPECT_EQ(visibleWindows(), QStringList{"a1"});
}

TEST_F(ManagementDialog, MovingBackFromTheRightPanelUsesTheLeftGroup) {
    select(Side::Right, {"b1"});
    click("MoveLeft");
    EXPECT_EQ(listed(Side::Left), (QStringList{"a1", "a2", "a3", "b1"}));
    EXPECT_TRUE(listed(Side::Right).isEmpty());
    EXPECT_EQ(rig.stored("b1").RootID, 0);
    EXPECT_EQ(rig.stored("b1").Index, 3);
    EXPECT_EQ(visibleWindows(), (QStringList{"a1", "a2", "a3", "b1"}));
}

TEST_F(ManagementDialog, RefusedMovesAreToldAndChangeNothing) {
    struct Case {
        const char* what;
        int rightGroup;
        QStringList selected;
        int text;
    };
    const Case cases[] = {
        {"same group", 0, {"a1"}, TEXT_MOVE_SAME_GROUP},
        {"nothing selected", 1, {}, TEXT_SELECT_IO_CONTROLLERS},
    };
    for (const Case& c : cases) {
        rig.prompts.shown.clear();
        dialog->groupList(Side::Right)->setCurrentIndex(c.rightGroup);
        select(Side::Left, c.selected);
        click("MoveRight");
        EXPECT_EQ(rig.prompts.shown, QStringList{loadString(c.text)}) << c.what;
        EXPECT_EQ(listed(Side::Left), (QStringList{"a1", "a2", "a3"})) << c.what;
        EXPECT_EQ(inTree(0), (QStringList{"a1", "a2", "a3"})) << c.what;
    }
    rig.prompts.shown.clear();
    click("LeftDelete");
    EXPECT_EQ(rig.prompts.shown, QStringList{loadString(TEXT_SELECT_IO_CONTROLLERS)});
}

TEST_F(ManagementDialog, DeleteClosesTheWindowAndRemovesItemKeyAndRow) {
    const int a2 = rig.deviceId("a2");
    ASSERT_NE(windows->findWindow(a2), nullptr);
    select(Side::Left, {"a2"});
    click("LeftDelete");

    EXPECT_EQ(listed(Side::Left), (QStringList{"a1", "a3"}));
    EXPECT_EQ(inTree(0), (QStringList{"a1", "a3"}));
    EXPECT_TRUE(test::pumpUntil([&] { return windows->findWindow(a2) == nullptr; }, 5000));
    EXPECT_FALSE(hasStoredKey(a2));
    EXPECT_EQ(rig.stored("a3").Index, 1);
    EXPECT_EQ(delete_device(a2), CORVEL_UNKNOWN_DEVICE);
}

TEST_F(ManagementDialog, DeleteAllOfTheGroupOnBothSidesEmptiesBoth) {
    std::vector<int> ids;
    for (const char* name : {"a1", "a2", "a3"})
        ids.push_back(rig.deviceId(name));
    dialog->groupList(Side::Right)->setCurrentIndex(0);
    ASSERT_EQ(listed(Side::Right), (QStringList{"a1", "a2", "a3"}));
    click("RightDeleteAll");

    EXPECT_TRUE(listed(Side::Left).isEmpty());
    EXPECT_TRUE(listed(Side::Right).isEmpty());
    EXPECT_TRUE(inTree(0).isEmpty());
    EXPECT_EQ(inTree(1), QStringList{"b1"});
    for (int id : ids) {
        EXPECT_FALSE(hasStoredKey(id)) << id;
        EXPECT_TRUE(test::pumpUntil([&] { return windows->findWindow(id) == nullptr; }, 5000));
    }
    EXPECT_TRUE(hasStoredKey(rig.deviceId("b1")));
    EXPECT_TRUE(rig.prompts.shown.isEmpty()) << rig.prompts.shown.join('|').toStdString();
}

} // namespace
} // namespace iomira
