#include "core/schedule_store.h"

namespace iomira {

namespace {

QString idValueName(ScheduleKind kind) {
    return kind == SCHEDULE_EMAIL ? QStringLiteral("MailScheduleId")
                                  : QStringLiteral("NotificationMessageScheduleId");
}

const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

} // namespace

QString scheduleKeyName(ScheduleKind kind, int32_t id) {
    return (kind == SCHEDULE_EMAIL ? QStringLiteral("SCH_ID_%1") : QStringLiteral("SCH_ID2_%1"))
        .arg(id);
}

bool saveSchedule(Store& store, ScheduleKind kind, const CScheduleData& s) {
    std::vector<StoreValue> values{
        StoreValue::dwordValue(idValueName(kind), s.ScheduleId),
        StoreValue::dwordValue(QStringLiteral("FromAmPm"), s.FromAmPm),
        StoreValue::dwordValue(QStringLiteral("FromHour"), s.FromHour),
        StoreValue::dwordValue(QStringLiteral("FromMinute"), s.FromMinute),
        StoreValue::dwordValue(QStringLiteral("ToAmPm"), s.ToAmPm),
        StoreValue::dwordValue(QStringLiteral("ToHour"), s.ToHour),
        StoreValue::dwordValue(QStringLiteral("ToMinute"), s.ToMinute),
    };
    for (int day = 0; day < 7; ++day) {
        values.push_back(StoreValue::dwordValue(QString::fromLatin1(kDayNames[day]), s.dayFlag(day)));
    }
    return store.writeValues(scheduleKeyName(kind, s.ScheduleId), values);
}

bool deleteSchedule(Store& store, ScheduleKind kind, int32_t id) {
    return store.deleteKey(scheduleKeyName(kind, id));
}

CScheduleData readSchedule(ScheduleKind kind, const KeyValues& v) {
    CScheduleData s;
    s.ScheduleId = v.dword(idValueName(kind), 0);
    s.FromAmPm = static_cast<uint8_t>(v.dword(QStringLiteral("FromAmPm"), 0));
    s.FromHour = static_cast<uint16_t>(v.dword(QStringLiteral("FromHour"), 0));
    s.FromMinute = static_cast<uint16_t>(v.dword(QStringLiteral("FromMinute"), 0));
    s.ToAmPm = static_cast<uint8_t>(v.dword(QStringLiteral("ToAmPm"), 0));
    s.ToHour = static_cast<uint16_t>(v.dword(QStringLiteral("ToHour"), 0));
    s.ToMinute = static_cast<uint16_t>(v.dword(QStringLiteral("ToMinute"), 0));
    for (int day = 0; day < 7; ++day) {
        s.setDayFlag(day, v.dword(QString::fromLatin1(kDayNames[day]), 0));
    }
    return s;
}

} // namespace iomira
