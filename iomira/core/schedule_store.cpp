#include "core/schedule_store.h"

#include <type_traits>

namespace iomira {

namespace {

QString idValueName(ScheduleKind kind) {
    return kind == SCHEDULE_EMAIL ? QStringLiteral("MailScheduleId")
                                  : QStringLiteral("NotificationMessageScheduleId");
}

const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

// A time value of the schedule key: saving and reading both walk the one list below.
struct TimeValue {
    const char* name;
    int32_t (*get)(const CScheduleData&);
    void (*set)(CScheduleData&, int32_t);
};

template <auto Member> constexpr TimeValue timeValue(const char* name) {
    return {name, [](const CScheduleData& s) { return static_cast<int32_t>(s.*Member); },
            [](CScheduleData& s, int32_t value) {
                s.*Member = static_cast<std::remove_reference_t<decltype(s.*Member)>>(value);
            }};
}

// Written after the id and before the days, in this order; every value defaults to 0.
const TimeValue kTimeValues[] = {
    timeValue<&CScheduleData::FromAmPm>("FromAmPm"),
    timeValue<&CScheduleData::FromHour>("FromHour"),
    timeValue<&CScheduleData::FromMinute>("FromMinute"),
    timeValue<&CScheduleData::ToAmPm>("ToAmPm"),
    timeValue<&CScheduleData::ToHour>("ToHour"),
    timeValue<&CScheduleData::ToMinute>("ToMinute"),
};

} // namespace

QString scheduleKeyName(ScheduleKind kind, int32_t id) {
    return (kind == SCHEDULE_EMAIL ? QStringLiteral("SCH_ID_%1") : QStringLiteral("SCH_ID2_%1"))
        .arg(id);
}

bool saveSchedule(Store& store, ScheduleKind kind, const CScheduleData& s) {
    std::vector<StoreValue> values{StoreValue::dwordValue(idValueName(kind), s.ScheduleId)};
    for (const TimeValue& time : kTimeValues) {
        values.push_back(StoreValue::dwordValue(QString::fromLatin1(time.name), time.get(s)));
    }
    for (int day = 0; day < 7; ++day) {
        values.push_back(
            StoreValue::dwordValue(QString::fromLatin1(kDayNames[day]), s.dayFlag(day)));
    }
    return store.writeValues(scheduleKeyName(kind, s.ScheduleId), values);
}

bool deleteSchedule(Store& store, ScheduleKind kind, int32_t id) {
    return store.deleteKey(scheduleKeyName(kind, id));
}

CScheduleData readSchedule(ScheduleKind kind, const KeyValues& v) {
    CScheduleData s;
    s.ScheduleId = v.dword(idValueName(kind), 0);
    for (const TimeValue& time : kTimeValues) {
        time.set(s, v.dword(QString::fromLatin1(time.name), 0));
    }
    for (int day = 0; day < 7; ++day) {
        s.setDayFlag(day, v.dword(QString::fromLatin1(kDayNames[day]), 0));
    }
    return s;
}

} // namespace iomira
