#pragma once

#include "core/global_settings.h"
#include "core/schedule_list.h"
#include "ui/dialogs/schedule_edit_dialog.h"

#include <QDialog>

#include <functional>

class QListWidget;
class QPushButton;
class QRadioButton;

namespace iomira {

class Store;
class UserPrompts;

// "Time Setting" for one kind of notification: always, or only inside the listed schedules.
class CScheduleDlg : public QDialog {
    Q_OBJECT
  public:
    // `switches` is the settings block the notifications read; its switch of `kind` and
    // GLOBAL change together.
    CScheduleDlg(Store& store, CScheduleDataList& list, GlobalSwitches& switches, ScheduleKind kind,
                 UserPrompts& prompts, QWidget* parent = nullptr);

    // Every way of closing goes through the check that a restricted kind has a schedule.
    void done(int result) override;

    // Opens the schedule editor; replaceable for tests.
    std::function<void(ScheduleEditMode mode, int32_t id)> editSchedule;

    QListWidget* list() const { return list_; }
    QRadioButton* choice(int value) const { return value == 0 ? always_ : restricted_; }

  private:
    void choose(int32_t value);
    void refill();
    void enableList();
    void modify();
    void remove();
    int32_t selectedId(bool& found) const;

    Store& store_;
    CScheduleDataList& schedules_;
    GlobalSwitches& switches_;
    ScheduleKind kind_;
    UserPrompts& prompts_;
    QRadioButton* always_;
    QRadioButton* restricted_;
    QListWidget* list_;
    std::vector<QPushButton*> listButtons_;
};

} // namespace iomira
