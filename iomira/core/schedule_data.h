#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace iomira {

enum ScheduleHalf : uint8_t { SCHEDULE_AM = 0, SCHEDULE_PM = 1 };

// One weekly time window, given in 12-hour form, and the days it applies on.
class CScheduleData {
  public:
    int32_t ScheduleId = 0;
    uint8_t FromAmPm = SCHEDULE_AM;
    uint16_t FromHour = 12;
    uint16_t FromMinute = 0;
    uint8_t ToAmPm = SCHEDULE_AM;
    uint16_t ToHour = 12;
    uint16_t ToMinute = 0;
    int32_t Sunday = 0;
    int32_t Monday = 0;
    int32_t Tuesday = 0;
    int32_t Wednesday = 0;
    int32_t Thursday = 0;
    int32_t Friday = 0;
    int32_t Saturday = 0;

    // The flag of a weekday counted from 0 = Sunday.
    int32_t dayFlag(int weekday) const;
    void setDayFlag(int weekday, int32_t flag);

    bool operator==(const CScheduleData&) const = default;
};

// Hour of the day (0 to 23) of a 12-hour clock reading.
int scheduleHour24(uint8_t amPm, uint16_t hour);

// 1 when `localTime` falls on a ticked day inside the window (minutes are inclusive at both
// ends; a window from PM to AM runs across midnight), else 0.
int MatchesSchedule(const CScheduleData& schedule, const QDateTime& localTime);

// Whether the editor must refuse the window: same half of the day and the end before the start.
bool endsBeforeStart(const CScheduleData& schedule);

// "[AM 09:00 ~ PM 05:00] Weekdays" in the current language.
QString ScheduleText(const CScheduleData& schedule);

} // namespace iomira
