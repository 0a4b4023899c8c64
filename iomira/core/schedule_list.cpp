#include "core/schedule_list.h"

#include "core/random_id.h"

namespace iomira {

void CScheduleDataList::insert(std::unique_ptr<CScheduleData> schedule) {
    if (!schedule) return;
    const int32_t id = schedule->ScheduleId;
    schedules_[id] = std::move(schedule);
}

CScheduleData* CScheduleDataList::find(int32_t id) const {
    const auto it = schedules_.find(id);
    return it == schedules_.end() ? nullptr : it->second.get();
}

bool CScheduleDataList::remove(int32_t id) {
    return schedules_.erase(id) != 0;
}

int IsInSchedule(const CScheduleDataList& list, const QDateTime& localTime) {
    if (list.empty()) return 1;
    int matched = 0;
    list.forEach([&](const CScheduleData& s) { matched |= MatchesSchedule(s, localTime); });
    return matched;
}

int32_t NewScheduleId(const CScheduleDataList& list) {
    return drawFreeId(0, 32767, [&list](int id) { return list.find(id) != nullptr; });
}

} // namespace iomira
