#include "core/schedule_data.h"

#include "core/string_table.h"
#include "core/texts.h"

namespace iomira {

namespace {

constexpr int kDaysInWeek = 7;

int minuteOfDay(uint8_t amPm, uint16_t hour, uint16_t minute) {
    return scheduleHour24(amPm, hour) * 60 + minute;
}

QString halfText(uint8_t amPm) {
    return loadString(amPm == SCHEDULE_PM ? TEXT_PM : TEXT_AM);
}

// Mask of ticked days, bit 0 = Sunday.
int dayMask(const CScheduleData& s) {
    int mask = 0;
    for (int day = 0; day < kDaysInWeek; ++day)
        mask |= s.dayFlag(day) == 1 ? 1 << day : 0;
    return mask;
}

QString daysText(const CScheduleData& s) {
    constexpr int kEveryDay = 0x7F, kWeekends = 0x41, kWeekdays = 0x3E;
    switch (dayMask(s)) {
    case kEveryDay:
        return loadString(TEXT_EVERY_DAY);
    case kWeekends:
        return loadString(TEXT_WEEKENDS);
    case kWeekdays:
        return loadString(TEXT_WEEKDAYS);
    default:
        break;
    }
    // Monday first, Sunday last, as the list has always shown them.
    static constexpr int kOrder[] = {1, 2, 3, 4, 5, 6, 0};
    static constexpr int kAbbreviation[] = {TEXT_SUN, TEXT_MON, TEXT_TUE, TEXT_WED,
                                            TEXT_THU, TEXT_FRI, TEXT_SAT};
    QString text;
    for (int day : kOrder) {
        if (s.dayFlag(day) == 1) text += loadString(kAbbreviation[day]);
    }
    return text;
}

} // namespace

int32_t CScheduleData::dayFlag(int weekday) const {
    switch (weekday) {
    case 0:
        return Sunday;
    case 1:
        return Monday;
    case 2:
        return Tuesday;
    case 3:
        return Wednesday;
    case 4:
        return Thursday;
    case 5:
        return Friday;
    case 6:
        return Saturday;
    default:
        return 0;
    }
}

void CScheduleData::setDayFlag(int weekday, int32_t flag) {
    int32_t* days[] = {&Sunday, &Monday, &Tuesday, &Wednesday, &Thursday, &Friday, &Saturday};
    if (weekday >= 0 && weekday < kDaysInWeek) *days[weekday] = flag;
}

int scheduleHour24(uint8_t amPm, uint16_t hour) {
    if (amPm == SCHEDULE_PM) return hour == 12 ? 12 : hour + 12;
    return hour == 12 ? 0 : hour;
}

int MatchesSchedule(const CScheduleData& s, const QDateTime& localTime) {
    const int weekday = localTime.date().dayOfWeek() % kDaysInWeek; // Qt counts Monday = 1
    if (s.dayFlag(weekday) != 1) return 0;
    const QTime time = localTime.time();
    const int now = time.hour() * 60 + time.minute();
    const int start = minuteOfDay(s.FromAmPm, s.FromHour, s.FromMinute);
    const int end = minuteOfDay(s.ToAmPm, s.ToHour, s.ToMinute);
    if (s.FromAmPm == s.ToAmPm || (s.FromAmPm == SCHEDULE_AM && s.ToAmPm == SCHEDULE_PM)) {
        return now >= start && now <= end ? 1 : 0;
    }
    return now >= start || now <= end ? 1 : 0;
}

bool endsBeforeStart(const CScheduleData& s) {
    return s.FromAmPm == s.ToAmPm && minuteOfDay(s.ToAmPm, s.ToHour, s.ToMinute) <
                                         minuteOfDay(s.FromAmPm, s.FromHour, s.FromMinute);
}

QString ScheduleText(const CScheduleData& s) {
    const QString range = QString::asprintf(
        "%s %02d:%02d ~ %s %02d:%02d", halfText(s.FromAmPm).toUtf8().constData(), s.FromHour,
        s.FromMinute, halfText(s.ToAmPm).toUtf8().constData(), s.ToHour, s.ToMinute);
    return QStringLiteral("[") + range + QStringLiteral("] ") + daysText(s);
}

} // namespace iomira
