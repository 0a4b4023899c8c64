#pragma once

#include "core/schedule_list.h"

#include <QDialog>
#include <QTime>

#include <array>

class QCheckBox;
class QComboBox;

namespace iomira {

class Store;
class UserPrompts;

enum ScheduleEditMode { SCHEDULE_EDIT_NEW = 0, SCHEDULE_EDIT_MODIFY = 1 };

// "Time Setting" for one schedule: the window's two ends and its days of the week.
class CScheduleOptDlg : public QDialog {
    Q_OBJECT
  public:
    // `now` fills both ends of a new schedule; `id` names the schedule to modify.
    CScheduleOptDlg(Store& store, CScheduleDataList& list, ScheduleKind kind, ScheduleEditMode mode,
                    int32_t id, UserPrompts& prompts, QWidget* parent = nullptr,
                    const QTime& now = QTime::currentTime());

    // "Cancel", Escape and the window's close button all ask first.
    void reject() override;

    // One end's three lists (0 start, 1 end), and the day boxes from Sunday on.
    QComboBox* halfList(int end) const { return ends_[end].half; }
    QComboBox* hourList(int end) const { return ends_[end].hour; }
    QComboBox* minuteList(int end) const { return ends_[end].minute; }
    QCheckBox* dayBox(int weekday) const { return days_[weekday]; }

  private:
    struct EndLists {
        QComboBox* half;
        QComboBox* hour;
        QComboBox* minute;
    };
    EndLists newEnd(int end);
    void display(const CScheduleData& schedule);
    CScheduleData edited() const;
    void confirm();

    Store& store_;
    CScheduleDataList& list_;
    ScheduleKind kind_;
    ScheduleEditMode mode_;
    int32_t id_;
    UserPrompts& prompts_;
    std::array<EndLists, 2> ends_;
    std::array<QCheckBox*, 7> days_;
};

} // namespace iomira
