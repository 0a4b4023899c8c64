#include "notify/alarm_rules_schedule.h"

#include "core/schedule_store.h"
#include "core/store.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <algorithm>
#include <memory>

namespace iomira {

namespace {

ScheduleEnd endOf(uint8_t amPm, uint16_t hour, uint16_t minute) {
    return {amPm == SCHEDULE_PM ? 1 : 0, std::clamp<int>(hour, 1, 12) - 1,
            std::clamp<int>(minute, 0, 59)};
}

} // namespace

uint8_t halfAfterHourChoice(uint8_t amPm, int hour) {
    if (hour != 12) return amPm;
    return amPm == SCHEDULE_PM ? SCHEDULE_AM : SCHEDULE_PM;
}

CScheduleData newScheduleAt(const QTime& now) {
    CScheduleData s;
    s.FromAmPm = s.ToAmPm = now.hour() < 12 ? SCHEDULE_AM : SCHEDULE_PM;
    s.FromHour = s.ToHour = static_cast<uint16_t>(now.hour() % 12 == 0 ? 12 : now.hour() % 12);
    s.FromMinute = s.ToMinute = static_cast<uint16_t>(now.minute());
    return s;
}

ScheduleEnd fromEndOf(const CScheduleData& s) {
    return endOf(s.FromAmPm, s.FromHour, s.FromMinute);
}
ScheduleEnd toEndOf(const CScheduleData& s) {
    return endOf(s.ToAmPm, s.ToHour, s.ToMinute);
}

void setFromEnd(CScheduleData& s, const ScheduleEnd& end) {
    s.FromAmPm = static_cast<uint8_t>(end.half);
    s.FromHour = static_cast<uint16_t>(end.hour + 1);
    s.FromMinute = static_cast<uint16_t>(end.minute);
}

void setToEnd(CScheduleData& s, const ScheduleEnd& end) {
    s.ToAmPm = static_cast<uint8_t>(end.half);
    s.ToHour = static_cast<uint16_t>(end.hour + 1);
    s.ToMinute = static_cast<uint16_t>(end.minute);
}

int scheduleEditRefusal(const CScheduleData& s) {
    bool anyDay = false;
    for (int day = 0; day < 7; ++day)
        anyDay = anyDay || s.dayFlag(day) == 1;
    if (!anyDay) return TEXT_SELECT_DAYS;
    if (endsBeforeStart(s)) return TEXT_START_BEFORE_END;
    return 0;
}

bool mayCloseScheduleList(int32_t switchValue, const CScheduleDataList& list) {
    return switchValue != 1 || !list.empty();
}

int closeRefusalText(ScheduleKind kind) {
    return kind == SCHEDULE_EMAIL ? TEXT_NEED_EMAIL_SCHEDULE : TEXT_NEED_NOTIFY_SCHEDULE;
}

bool isLastActiveSchedule(int32_t switchValue, const CScheduleDataList& list, int32_t id) {
    return switchValue == 1 && list.size() == 1 && list.find(id) != nullptr;
}

QString deleteScheduleQuestion(ScheduleKind kind, bool lastActive) {
    QString question = loadString(TEXT_DELETE_QUESTION);
    if (lastActive) {
        question +=
            QLatin1Char('\n') + loadString(kind == SCHEDULE_EMAIL ? TEXT_LAST_EMAIL_SCHEDULE
                                                                  : TEXT_LAST_NOTIFY_SCHEDULE);
    }
    return question;
}

std::vector<ScheduleRow> scheduleRows(const CScheduleDataList& list) {
    std::vector<ScheduleRow> rows;
    list.forEach([&](const CScheduleData& s) { rows.push_back({s.ScheduleId, ScheduleText(s)}); });
    return rows;
}

const GlobalValue& scheduleSwitchValue(ScheduleKind kind) {
    return kind == SCHEDULE_EMAIL ? USE_EMAIL_SCHEDULE : USE_NOTIFICATION_MESSAGE_SCHEDULE;
}

int32_t& scheduleSwitch(GlobalSwitches& switches, ScheduleKind kind) {
    return kind == SCHEDULE_EMAIL ? switches.useEmailSchedule
                                  : switches.useNotificationMessageSchedule;
}

bool storeSchedule(Store& store, ScheduleKind kind, CScheduleDataList& list, CScheduleData schedule,
                   QString& error) {
    if (schedule.ScheduleId < 0) {
        schedule.ScheduleId = NewScheduleId(list);
        if (schedule.ScheduleId < 0) {
            error = loadString(TEXT_NO_FREE_ID);
            return false;
        }
    }
    if (!saveSchedule(store, kind, schedule)) {
        error = loadString(TEXT_NOT_SAVED).replace(QLatin1String("%s"), store.lastError());
        return false;
    }
    list.insert(std::make_unique<CScheduleData>(schedule));
    return true;
}

bool removeSchedule(Store& store, ScheduleKind kind, CScheduleDataList& list, int32_t id,
                    QString& error) {
    if (!deleteSchedule(store, kind, id)) {
        error = loadString(TEXT_NOT_DELETED).replace(QLatin1String("%s"), store.lastError());
        return false;
    }
    list.remove(id);
    return true;
}

} // namespace iomira
