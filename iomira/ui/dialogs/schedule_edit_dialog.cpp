#include "ui/dialogs/schedule_edit_dialog.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "notify/alarm_rules_schedule.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace iomira {

CScheduleOptDlg::CScheduleOptDlg(Store& store, CScheduleDataList& list, ScheduleKind kind,
                                 ScheduleEditMode mode, int32_t id, UserPrompts& prompts,
                                 QWidget* parent, const QTime& now)
    : QDialog(parent), store_(store), list_(list), kind_(kind), mode_(mode), id_(id),
      prompts_(prompts), ends_{newEnd(0), newEnd(1)} {
    setWindowTitle(loadString(TEXT_TIME_SETTING_TITLE));

    auto* times = new QHBoxLayout;
    for (int end = 0; end < 2; ++end) {
        if (end == 1) times->addWidget(new QLabel(QStringLiteral("~"), this));
        times->addWidget(ends_[end].half);
        times->addWidget(ends_[end].hour);
        times->addWidget(ends_[end].minute);
    }
    times->addStretch(1);

    auto* dayGrid = new QGridLayout;
    for (int day = 0; day < 7; ++day) {
        days_[day] = new QCheckBox(loadString(TEXT_DAY_SUNDAY + day), this);
        days_[day]->setObjectName(QStringLiteral("Day%1").arg(day));
        dayGrid->addWidget(days_[day], day / 4, day % 4);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(loadString(TEXT_OK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkButton"));
    QPushButton* cancel = buttons->addButton(loadString(TEXT_CANCEL), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CScheduleOptDlg::confirm);
    connect(cancel, &QPushButton::clicked, this, &CScheduleOptDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(times);
    layout->addLayout(dayGrid);
    layout->addWidget(buttons);

    const CScheduleData* stored = mode_ == SCHEDULE_EDIT_MODIFY ? list_.find(id_) : nullptr;
    display(stored ? *stored : newScheduleAt(now));
}

CScheduleOptDlg::EndLists CScheduleOptDlg::newEnd(int end) {
    EndLists lists{new QComboBox(this), new QComboBox(this), new QComboBox(this)};
    const QString side = end == 0 ? QStringLiteral("From") : QStringLiteral("To");
    lists.half->setObjectName(side + QStringLiteral("Half"));
    lists.hour->setObjectName(side + QStringLiteral("Hour"));
    lists.minute->setObjectName(side + QStringLiteral("Minute"));
    lists.half->addItems({loadString(TEXT_AM), loadString(TEXT_PM)});
    for (int hour = 1; hour <= 12; ++hour)
        lists.hour->addItem(QString::number(hour));
    for (int minute = 0; minute < 60; ++minute)
        lists.minute->addItem(QString::asprintf("%02d", minute));
    lists.minute->setMaxVisibleItems(12);
    QComboBox* half = lists.half;
    connect(lists.hour, &QComboBox::currentIndexChanged, this, [half](int index) {
        const int flipped =
            halfAfterHourChoice(static_cast<uint8_t>(half->currentIndex()), index + 1);
        half->setCurrentIndex(flipped);
    });
    return lists;
}

void CScheduleOptDlg::display(const CScheduleData& s) {
    const ScheduleEnd values[2] = {fromEndOf(s), toEndOf(s)};
    for (int end = 0; end < 2; ++end) {
        // Showing a stored 12 is no choice by the user: it must not flip the half.
        const QSignalBlocker blockHour(ends_[end].hour);
        ends_[end].half->setCurrentIndex(values[end].half);
        ends_[end].hour->setCurrentIndex(values[end].hour);
        ends_[end].minute->setCurrentIndex(values[end].minute);
    }
    for (int day = 0; day < 7; ++day)
        days_[day]->setChecked(s.dayFlag(day) == 1);
}

CScheduleData CScheduleOptDlg::edited() const {
    CScheduleData s;
    s.ScheduleId = mode_ == SCHEDULE_EDIT_MODIFY ? id_ : -1;
    auto chosen = [this](int end) {
        return ScheduleEnd{ends_[end].half->currentIndex(), ends_[end].hour->currentIndex(),
                           ends_[end].minute->currentIndex()};
    };
    setFromEnd(s, chosen(0));
    setToEnd(s, chosen(1));
    for (int day = 0; day < 7; ++day)
        s.setDayFlag(day, days_[day]->isChecked() ? 1 : 0);
    return s;
}

void CScheduleOptDlg::confirm() {
    const CScheduleData s = edited();
    if (const int refusal = scheduleEditRefusal(s)) {
        prompts_.error(loadString(refusal));
        return;
    }
    QString error;
    if (!storeSchedule(store_, kind_, list_, s, error)) {
        prompts_.error(error);
        return;
    }
    prompts_.information(loadString(TEXT_COMPLETED));
    accept();
}

void CScheduleOptDlg::reject() {
    if (prompts_.ask(loadString(TEXT_CANCEL_QUESTION))) QDialog::reject();
}

} // namespace iomira
