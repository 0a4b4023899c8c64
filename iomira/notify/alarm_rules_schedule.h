#pragma once

#include "core/global_settings.h"
#include "core/schedule_list.h"

#include <QString>
#include <QTime>

#include <vector>

namespace iomira {

class Store;

// The half of the day after an hour list changed: choosing 12 flips it, as the clock
// passes noon or midnight there.
uint8_t halfAfterHourChoice(uint8_t amPm, int hour);

// What the editor shows for a new schedule: both ends at the current time, no day ticked.
CScheduleData newScheduleAt(const QTime& now);

// The stored values as list positions, clamped so that a damaged record still opens.
struct ScheduleEnd {
    int half = 0;   // 0 AM, 1 PM
    int hour = 0;   // index 0..11 for hours 1..12
    int minute = 0; // 0..59
};
ScheduleEnd fromEndOf(const CScheduleData& schedule);
ScheduleEnd toEndOf(const CScheduleData& schedule);
void setFromEnd(CScheduleData& schedule, const ScheduleEnd& end);
void setToEnd(CScheduleData& schedule, const ScheduleEnd& end);

// Why the editor refuses to store a schedule: the string-table id of its message, 0 if none.
int scheduleEditRefusal(const CScheduleData& schedule);

// The list dialog may close unless it says "only at the specified time" with no schedule.
bool mayCloseScheduleList(int32_t switchValue, const CScheduleDataList& list);
int closeRefusalText(ScheduleKind kind);

// Deleting this schedule would leave an active switch with an empty list, which lets every
// notification through.
bool isLastActiveSchedule(int32_t switchValue, const CScheduleDataList& list, int32_t id);
QString deleteScheduleQuestion(ScheduleKind kind, bool lastActive);

// The list's rows in its own order: id and text.
struct ScheduleRow {
    int32_t id = 0;
    QString text;
};
std::vector<ScheduleRow> scheduleRows(const CScheduleDataList& list);

// The switch of a kind, in the settings block and in GLOBAL.
const GlobalValue& scheduleSwitchValue(ScheduleKind kind);
int32_t& scheduleSwitch(GlobalSwitches& switches, ScheduleKind kind);

// Store first, then memory, so the two never disagree. A new schedule (id < 0) gets a fresh
// id. On failure `error` holds the reason and nothing changed.
bool storeSchedule(Store& store, ScheduleKind kind, CScheduleDataList& list, CScheduleData schedule,
                   QString& error);
bool removeSchedule(Store& store, ScheduleKind kind, CScheduleDataList& list, int32_t id,
                    QString& error);

} // namespace iomira
