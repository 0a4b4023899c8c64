#include "ui/dialogs/manage_log_dialog.h"

#include "app/manage_log_dialog_lists.h"
#include "core/global_settings.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace iomira {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

struct SwitchBox {
    int textId;
    const GlobalValue* value;
};
const SwitchBox kSwitches[4] = {{TEXT_INPUT_PORT, &LOG_INPUT},
                                {TEXT_OUTPUT_PORT, &LOG_OUTPUT},
                                {TEXT_MODBUS_TCP, &LOG_TCP},
                                {TEXT_EMAIL_NOTIFICATION, &LOG_NOTIFICATION_EMAIL}};

} // namespace

CManageLogDlg::CManageLogDlg(Context context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), group_(new QComboBox(this)),
      left_(new QListWidget(this)), right_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("ManageLogDialog"));
    setWindowTitle(loadString(TEXT_MANAGE_LOG));
    left_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    left_->setSortingEnabled(true);
    right_->setRootIsDecorated(false);
    right_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    right_->setSelectionBehavior(QAbstractItemView::SelectRows);
    right_->setHeaderLabels({loadString(TEXT_GROUP), loadString(TEXT_DESCRIPTION)});
    right_->setColumnWidth(0, 110);
    right_->setColumnWidth(1, 200);
    right_->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d8d8d8; }"));
    right_->setMinimumWidth(320);

    auto* startButton = new QPushButton(loadString(TEXT_START_LOG), this);
    auto* stopButton = new QPushButton(loadString(TEXT_STOP_LOG), this);
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(startButton);
    middle->addWidget(stopButton);
    middle->addStretch(1);
    auto* leftColumn = new QVBoxLayout;
    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(new QLabel(loadString(TEXT_GROUP), this));
    groupRow->addWidget(group_, 1);
    leftColumn->addLayout(groupRow);
    leftColumn->addWidget(left_);
    auto* lists = new QHBoxLayout;
    lists->addLayout(leftColumn);
    lists->addLayout(middle);
    lists->addWidget(right_, 1);
    auto* frame = new QGroupBox(loadString(TEXT_MANAGE_LOG), this);
    frame->setLayout(lists);

    auto* options = new QGroupBox(loadString(TEXT_LOG_OPTIONS), this);
    auto* optionGrid = new QGridLayout(options);
    for (int i = 0; i < 4; ++i) {
        switches_[i] = new QCheckBox(loadString(kSwitches[i].textId), options);
        switches_[i]->setChecked(context_.logSwitch &&
                                 context_.logSwitch(*kSwitches[i].value) == 1);
        optionGrid->addWidget(switches_[i], i / 2, i % 2);
        connect(switches_[i], &QCheckBox::clicked, this, [this, i](bool checked) {
            if (context_.setLogSwitch) context_.setLogSwitch(*kSwitches[i].value, checked ? 1 : 0);
        });
    }
    optionGrid->addLayout(makeRetentionRow(options), 2, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(options);

    for (int index = 0; index < context_.groups.size(); ++index) {
        if (const CROOTData* g = context_.groups.GroupAt(index))
            group_->addItem(g->RootName, g->RootID);
    }
    connect(group_, &QComboBox::currentIndexChanged, this, &CManageLogDlg::fillLeft);
    connect(startButton, &QPushButton::clicked, this, &CManageLogDlg::start);
    connect(stopButton, &QPushButton::clicked, this, &CManageLogDlg::stop);
    fillLeft();
    fillRight();
}

// "Delete daily log files older than [n] days": both values stored as they change.
QLayout* CManageLogDlg::makeRetentionRow(QWidget* parent) {
    deleteOld_ = new QCheckBox(loadString(TEXT_LOG_DELETE_OLD), parent);
    keepDays_ = new QSpinBox(parent);
    keepDays_->setRange(kLogKeepDaysMin, kLogKeepDaysMax);
    const auto stored = [this](const GlobalValue& value) {
        return context_.logSwitch ? context_.logSwitch(value) : value.fallback;
    };
    deleteOld_->setChecked(stored(LOG_DELETE_OLD_FILES) == 1);
    keepDays_->setValue(validLogKeepDays(stored(LOG_DELETE_OLD_FILES_DAYS)));
    keepDays_->setEnabled(deleteOld_->isChecked());
    connect(deleteOld_, &QCheckBox::toggled, this, [this](bool checked) {
        keepDays_->setEnabled(checked);
        if (context_.setLogSwitch) context_.setLogSwitch(LOG_DELETE_OLD_FILES, checked ? 1 : 0);
    });
    connect(keepDays_, &QSpinBox::valueChanged, this, [this](int days) {
        if (context_.setLogSwitch) context_.setLogSwitch(LOG_DELETE_OLD_FILES_DAYS, days);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(deleteOld_);
    row->addWidget(keepDays_);
    row->addWidget(new QLabel(loadString(TEXT_LOG_DAYS), parent));
    row->addStretch(1);
    return row;
}

void CManageLogDlg::fillLeft() {
    left_->clear();
    if (group_->currentIndex() < 0) return;
    const int rootId = group_->currentData().toInt();
    for (const LogListRow& row :
         unloggedInGroup(context_.controllers.table(), context_.groups, rootId)) {
        auto* item = new QListWidgetItem(row.name, left_);
        item->setData(kIdRole, row.deviceId);
    }
}

void CManageLogDlg::fillRight() {
    right_->clear();
    for (const LogListRow& row : loggedControllers(context_.controllers.table(), context_.groups)) {
        auto* item = new QTreeWidgetItem(right_, {row.group, row.name});
        item->setData(0, kIdRole, row.deviceId);
    }
}

void CManageLogDlg::setUseLog(const std::vector<int>& deviceIds, int useLog) {
    if (deviceIds.empty()) {
        context_.prompts.error(loadString(TEXT_SELECT_CONTROLLERS_LOG));
        return;
    }
    for (int id : deviceIds) {
        if (!context_.controllers.edit(id, [useLog](CQUORVISData& c) { c.UseLog = useLog; }))
            continue;
        if (context_.save) context_.save(*context_.controllers.table().find(id));
    }
    fillLeft();
    fillRight();
}

void CManageLogDlg::start() {
    std::vector<int> ids;
    for (QListWidgetItem* item : left_->selectedItems())
        ids.push_back(item->data(kIdRole).toInt());
    setUseLog(ids, 1);
}

void CManageLogDlg::stop() {
    std::vector<int> ids;
    for (QTreeWidgetItem* item : right_->selectedItems())
        ids.push_back(item->data(0, kIdRole).toInt());
    setUseLog(ids, 0);
}

} // namespace iomira
