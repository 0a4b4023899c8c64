#include "core/global_settings.h"

namespace iomira {

namespace {
QString globalKey() {
    return QString::fromLatin1(kGlobalKey);
}
} // namespace

int32_t getGlobal(Store& store, const GlobalValue& value) {
    KeyValues values;
    if (!store.readKey(globalKey(), values)) return value.fallback;
    return values.dword(QString::fromLatin1(value.name), value.fallback);
}

bool setGlobal(Store& store, const GlobalValue& value, int32_t data) {
    return store.writeValue(globalKey(),
                            StoreValue::dwordValue(QString::fromLatin1(value.name), data));
}

int32_t validLogKeepDays(int32_t days) {
    return days >= kLogKeepDaysMin && days <= kLogKeepDaysMax ? days
                                                              : LOG_DELETE_OLD_FILES_DAYS.fallback;
}

bool readGlobalSwitches(Store& store, GlobalSwitches& s) {
    KeyValues v;
    if (!store.readKey(globalKey(), v)) return false;
    auto read = [&v](const GlobalValue& g) {
        return v.dword(QString::fromLatin1(g.name), g.fallback);
    };
    s.language = read(LANGUAGE);
    s.inputNotification = read(INPUT_NOTIFICATION);
    s.logTcp = read(LOG_TCP);
    s.logInput = read(LOG_INPUT);
    s.logOutput = read(LOG_OUTPUT);
    s.logNotificationEmail = read(LOG_NOTIFICATION_EMAIL);
    s.useEmailSchedule = read(USE_EMAIL_SCHEDULE);
    s.useNotificationMessageSchedule = read(USE_NOTIFICATION_MESSAGE_SCHEDULE);
    s.linkNotification = read(LINK_NOTIFICATION);
    s.logDeleteOldFiles = read(LOG_DELETE_OLD_FILES);
    s.logDeleteOldFilesDays = validLogKeepDays(read(LOG_DELETE_OLD_FILES_DAYS));
    return true;
}

} // namespace iomira
