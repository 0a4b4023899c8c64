#include "ui/dialogs/schedule_list_dialog.h"
#include "ui/common/dialog_buttons.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "notify/alarm_rules_schedule.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace iomira {

CScheduleDlg::CScheduleDlg(Store& store, CScheduleDataList& list, GlobalSwitches& switches,
                           ScheduleKind kind, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), store_(store), schedules_(list), switches_(switches), kind_(kind),
      prompts_(prompts),
      always_(new QRadioButton(
          loadString(kind == SCHEDULE_EMAIL ? TEXT_ALWAYS_SEND_EMAIL : TEXT_ALWAYS_NOTIFY), this)),
      restricted_(new QRadioButton(
          loadString(kind == SCHEDULE_EMAIL ? TEXT_EMAIL_IN_SCHEDULE : TEXT_NOTIFY_IN_SCHEDULE),
          this)),
      list_(new QListWidget(this)) {
    setWindowTitle(loadString(TEXT_TIME_SETTING_TITLE));
    always_->setObjectName(QStringLiteral("AlwaysChoice"));
    restricted_->setObjectName(QStringLiteral("ScheduleChoice"));
    list_->setObjectName(QStringLiteral("ScheduleList"));
    list_->setMinimumSize(360, 180);
    editSchedule = [this](ScheduleEditMode mode, int32_t id) {
        CScheduleOptDlg(store_, schedules_, kind_, mode, id, prompts_, this).exec();
    };

    auto* group = new QButtonGroup(this);
    group->addButton(always_, 0);
    group->addButton(restricted_, 1);
    (scheduleSwitch(switches_, kind_) == 1 ? restricted_ : always_)->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, &CScheduleDlg::choose);

    QPushButton* add = makeDialogButton(TEXT_ADD, this, "AddButton");
    QPushButton* change = makeDialogButton(TEXT_MODIFY_BUTTON, this, "ModifyButton");
    QPushButton* del = makeDialogButton(TEXT_DELETE, this, "DeleteButton");
    QPushButton* ok = makeDialogButton(TEXT_OK, this, "OkButton");
    ok->setDefault(true);
    listButtons_ = {add, change, del};
    connect(add, &QPushButton::clicked, this, [this] {
        editSchedule(SCHEDULE_EDIT_NEW, 0);
        refill();
    });
    connect(change, &QPushButton::clicked, this, &CScheduleDlg::modify);
    connect(del, &QPushButton::clicked, this, &CScheduleDlg::remove);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CScheduleDlg::modify);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* side = new QVBoxLayout;
    for (QPushButton* b : listButtons_)
        side->addWidget(b);
    side->addStretch(1);
    side->addWidget(ok);
    auto* body = new QHBoxLayout;
    body->addWidget(list_, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(always_);
    layout->addWidget(restricted_);
    layout->addLayout(body, 1);

    refill();
    enableList();
}

void CScheduleDlg::choose(int32_t value) {
    int32_t& current = scheduleSwitch(switches_, kind_);
    if (current == value) return;
    if (!setGlobal(store_, scheduleSwitchValue(kind_), value)) {
        prompts_.error(loadString(TEXT_NOT_SAVED).replace(QLatin1String("%s"), store_.lastError()));
        (current == 1 ? restricted_ : always_)->setChecked(true);
        return;
    }
    current = value;
    enableList();
}

void CScheduleDlg::enableList() {
    const bool restricted = scheduleSwitch(switches_, kind_) == 1;
    list_->setEnabled(restricted);
    for (QPushButton* b : listButtons_)
        b->setEnabled(restricted);
}

void CScheduleDlg::refill() {
    list_->clear();
    for (const ScheduleRow& row : scheduleRows(schedules_)) {
        auto* item = new QListWidgetItem(row.text, list_);
        item->setData(Qt::UserRole, row.id);
    }
}

int32_t CScheduleDlg::selectedId(bool& found) const {
    const QListWidgetItem* item = list_->currentItem();
    found = item && item->isSelected();
    return found ? item->data(Qt::UserRole).toInt() : 0;
}

void CScheduleDlg::modify() {
    bool found = false;
    const int32_t id = selectedId(found);
    if (!found) {
        prompts_.warning(loadString(TEXT_SELECT_ITEM));
        return;
    }
    editSchedule(SCHEDULE_EDIT_MODIFY, id);
    refill();
}

void CScheduleDlg::remove() {
    bool found = false;
    const int32_t id = selectedId(found);
    if (!found) {
        prompts_.warning(loadString(TEXT_SELECT_ITEM));
        return;
    }
    const bool last = isLastActiveSchedule(scheduleSwitch(switches_, kind_), schedules_, id);
    if (!prompts_.ask(deleteScheduleQuestion(kind_, last))) return;
    QString error;
    if (!removeSchedule(store_, kind_, schedules_, id, error)) prompts_.error(error);
    refill();
}

void CScheduleDlg::done(int result) {
    if (!mayCloseScheduleList(scheduleSwitch(switches_, kind_), schedules_)) {
        prompts_.error(loadString(closeRefusalText(kind_)));
        return;
    }
    QDialog::done(result);
}

} // namespace iomira
