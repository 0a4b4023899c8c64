#include "ui/dialogs/management_dialog.h"

#include "app/controller_management.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/common/dialog_buttons.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

// Object names by side, so that tests and the pictures find each control.
const char* const kGroupNames[] = {"LeftGroup", "RightGroup"};
const char* const kListNames[] = {"LeftList", "RightList"};
const char* const kDeleteNames[] = {"LeftDelete", "RightDelete"};
const char* const kDeleteAllNames[] = {"LeftDeleteAll", "RightDeleteAll"};

CManagementDlg::Side other(CManagementDlg::Side side) {
    return side == CManagementDlg::Left ? CManagementDlg::Right : CManagementDlg::Left;
}

} // namespace

CManagementDlg::CManagementDlg(ControllerManagement& management, QWidget* parent)
    : QDialog(parent), management_(management) {
    setObjectName(QStringLiteral("ManagementDialog"));
    setWindowTitle(loadString(TEXT_APP_TITLE));
    auto* panels = new QHBoxLayout;
    panels->addLayout(makePanel(Left), 1);
    panels->addLayout(makeMoveButtons());
    panels->addLayout(makePanel(Right), 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = makeDialogButton(TEXT_OK, this, "OK");
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panels);
    layout->addWidget(buttons);

    fillGroups();
    for (Side side : {Left, Right}) {
        connect(panels_[side].group, &QComboBox::currentIndexChanged, this,
                [this, side] { fillList(side); });
    }
    refillLists();
}

QLayout* CManagementDlg::makePanel(Side side) {
    Panel& panel = panels_[side];
    panel.group = new QComboBox(this);
    panel.group->setObjectName(QString::fromLatin1(kGroupNames[side]));
    panel.list = new QListWidget(this);
    panel.list->setObjectName(QString::fromLatin1(kListNames[side]));
    panel.list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    panel.list->setMinimumSize(200, 260);

    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(new QLabel(loadString(TEXT_GROUP), this));
    groupRow->addWidget(panel.group, 1);

    QPushButton* remove = makeDialogButton(TEXT_DELETE, this, kDeleteNames[side]);
    QPushButton* removeEvery = makeDialogButton(TEXT_DELETE_ALL, this, kDeleteAllNames[side]);
    connect(remove, &QPushButton::clicked, this, [this, side] { removeSelected(side); });
    connect(removeEvery, &QPushButton::clicked, this, [this, side] { removeAll(side); });
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(remove);
    buttonRow->addWidget(removeEvery);
    buttonRow->addStretch(1);

    auto* column = new QVBoxLayout;
    column->addLayout(groupRow);
    column->addWidget(panel.list, 1);
    column->addLayout(buttonRow);
    return column;
}

QLayout* CManagementDlg::makeMoveButtons() {
    const QString move = loadString(TEXT_MOVE);
    QPushButton* toRight = makeDialogButton(QStringLiteral("%1 >>").arg(move), this, "MoveRight");
    QPushButton* toLeft = makeDialogButton(QStringLiteral("<< %1").arg(move), this, "MoveLeft");
    connect(toRight, &QPushButton::clicked, this, [this] { moveFrom(Left); });
    connect(toLeft, &QPushButton::clicked, this, [this] { moveFrom(Right); });
    auto* column = new QVBoxLayout;
    column->addStretch(1);
    column->addWidget(toRight);
    column->addWidget(toLeft);
    column->addStretch(1);
    return column;
}

void CManagementDlg::fillGroups() {
    const std::vector<ManagedGroup> groups = management_.groups();
    for (Side side : {Left, Right}) {
        for (const ManagedGroup& g : groups)
            panels_[side].group->addItem(g.name, g.rootId);
    }
    const PanelGroups initial = initialPanelGroups(static_cast<int>(groups.size()));
    panels_[Left].group->setCurrentIndex(initial.left);
    panels_[Right].group->setCurrentIndex(initial.right);
}

void CManagementDlg::fillList(Side side) {
    QListWidget* list = panels_[side].list;
    list->clear();
    if (panels_[side].group->currentIndex() < 0) return;
    for (const ManagedController& c : management_.controllers(groupOf(side))) {
        auto* item = new QListWidgetItem(c.text, list);
        item->setData(kIdRole, c.deviceId);
    }
}

void CManagementDlg::refillLists() {
    fillList(Left);
    fillList(Right);
}

int CManagementDlg::groupOf(Side side) const {
    return panels_[side].group->currentData().toInt();
}

// In list order, whatever order the operator clicked them in.
std::vector<int> CManagementDlg::selectedIn(Side side) const {
    std::vector<int> ids;
    const QListWidget* list = panels_[side].list;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) ids.push_back(list->item(row)->data(kIdRole).toInt());
    }
    return ids;
}

void CManagementDlg::moveFrom(Side side) {
    if (panels_[side].group->currentIndex() < 0) return;
    const int toRootId = groupOf(other(side));
    if (management_.move(selectedIn(side), groupOf(side), toRootId) == 0) return;
    if (showGroup) showGroup(toRootId);
    refillLists();
}

void CManagementDlg::removeSelected(Side side) {
    if (management_.remove(selectedIn(side)) > 0) refillLists();
}

void CManagementDlg::removeAll(Side side) {
    if (panels_[side].group->currentIndex() < 0) return;
    if (management_.removeAll(groupOf(side)) > 0) refillLists();
}

} // namespace iomira
