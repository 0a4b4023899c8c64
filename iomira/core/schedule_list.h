#pragma once

#include "core/schedule_data.h"

#include <map>
#include <memory>

namespace iomira {

// The two lists a schedule can belong to; the kind picks the store key and id value name.
enum ScheduleKind { SCHEDULE_EMAIL = 0, SCHEDULE_NOTIFICATION_MESSAGE = 1 };

// The schedules of one kind, keyed by id.
class CScheduleDataList {
  public:
    // Takes ownership; a schedule with the same id is replaced.
    void insert(std::unique_ptr<CScheduleData> schedule);
    CScheduleData* find(int32_t id) const;
    bool remove(int32_t id);
    int size() const { return static_cast<int>(schedules_.size()); }
    bool empty() const { return schedules_.empty(); }

    template <typename F> void forEach(F&& visit) const {
        for (const auto& [id, schedule] : schedules_)
            visit(*schedule);
    }

  private:
    std::map<int32_t, std::unique_ptr<CScheduleData>> schedules_;
};

// 1 when the list is empty or one of its schedules matches `localTime`, else 0.
int IsInSchedule(const CScheduleDataList& list, const QDateTime& localTime);

// A fresh id (0 to 32767) not used in `list`.
int32_t NewScheduleId(const CScheduleDataList& list);

} // namespace iomira
