#pragma once

#include "core/schedule_list.h"
#include "core/store.h"

namespace iomira {

QString scheduleKeyName(ScheduleKind kind, int32_t id); // "SCH_ID_%d" or "SCH_ID2_%d"

bool saveSchedule(Store& store, ScheduleKind kind, const CScheduleData& schedule);
bool deleteSchedule(Store& store, ScheduleKind kind, int32_t id);
CScheduleData readSchedule(ScheduleKind kind, const KeyValues& values);

} // namespace iomira
