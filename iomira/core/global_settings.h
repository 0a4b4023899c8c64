#pragma once

#include "core/store.h"

namespace iomira {

// One program-wide switch of the GLOBAL key: its value name and the default when missing.
struct GlobalValue {
    const char* name;
    int32_t fallback;
};

inline constexpr GlobalValue LANGUAGE{"LANGUAGE", 0};
inline constexpr GlobalValue INPUT_NOTIFICATION{"INPUT_NOTIFICATION", 1};
inline constexpr GlobalValue LOG_TCP{"LOG_TCP", 1};
inline constexpr GlobalValue LOG_INPUT{"LOG_INPUT", 1};
inline constexpr GlobalValue LOG_OUTPUT{"LOG_OUTPUT", 1};
inline constexpr GlobalValue LOG_NOTIFICATION_EMAIL{"LOG_NOTIFICATION_EMAIL", 1};
inline constexpr GlobalValue USE_EMAIL_SCHEDULE{"USE_EMAIL_SCHEDULE", 0};
inline constexpr GlobalValue USE_NOTIFICATION_MESSAGE_SCHEDULE{"USE_NOTIFICATION_MESSAGE_SCHEDULE",
                                                               0};
// Pop-ups for a controller whose link is lost and restored; not carried by backups.
inline constexpr GlobalValue LINK_NOTIFICATION{"LINK_NOTIFICATION", 1};
inline constexpr GlobalValue USE_LOGIN{"USE_LOGIN", 0}; // carried by backups only
inline constexpr GlobalValue MSG_LastPosX{"MSG_LastPosX", 0};
inline constexpr GlobalValue MSG_LastPosY{"MSG_LastPosY", 0};
inline constexpr GlobalValue MSG_LastPosCX{"MSG_LastPosCX", 0};
inline constexpr GlobalValue MSG_LastPosCY{"MSG_LastPosCY", 0};
// Deleting daily log files older than a number of days; not carried by backups.
inline constexpr GlobalValue LOG_DELETE_OLD_FILES{"LOG_DELETE_OLD_FILES", 0};
inline constexpr GlobalValue LOG_DELETE_OLD_FILES_DAYS{"LOG_DELETE_OLD_FILES_DAYS", 30};
inline constexpr int kLogKeepDaysMin = 1;
inline constexpr int kLogKeepDaysMax = 3650;

inline constexpr const char* kGlobalKey = "GLOBAL";

// A missing or unreadable value, or one of another type, gives the default.
int32_t getGlobal(Store& store, const GlobalValue& value);
bool setGlobal(Store& store, const GlobalValue& value, int32_t data);

// A stored number of days outside 1 to 3650 reads as the default.
int32_t validLogKeepDays(int32_t days);

// The switches read once at start-up (1 means on, anything else off).
struct GlobalSwitches {
    int32_t language = LANGUAGE.fallback;
    int32_t inputNotification = INPUT_NOTIFICATION.fallback;
    int32_t logTcp = LOG_TCP.fallback;
    int32_t logInput = LOG_INPUT.fallback;
    int32_t logOutput = LOG_OUTPUT.fallback;
    int32_t logNotificationEmail = LOG_NOTIFICATION_EMAIL.fallback;
    int32_t useEmailSchedule = USE_EMAIL_SCHEDULE.fallback;
    int32_t useNotificationMessageSchedule = USE_NOTIFICATION_MESSAGE_SCHEDULE.fallback;
    int32_t linkNotification = LINK_NOTIFICATION.fallback;
    int32_t logDeleteOldFiles = LOG_DELETE_OLD_FILES.fallback;
    int32_t logDeleteOldFilesDays = LOG_DELETE_OLD_FILES_DAYS.fallback;
};

// False when the store could not be read; the defaults are then left in place.
bool readGlobalSwitches(Store& store, GlobalSwitches& switches);

} // namespace iomira
