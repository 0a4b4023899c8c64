#include "core/object_loader.h"

#include "core/controller_keys.h"
#include "core/schedule_store.h"
#include "core/sound_library.h"
#include "core/string_table.h"
#include "core/texts.h"

namespace iomira {

namespace {

constexpr int kRegistered = 1;
constexpr int kDuplicateKey = -1;
constexpr int kOutOfMemory = -2;

bool hasPrefix(const QString& name, const char* prefix) {
    return name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

void loadController(const KeyValues& values, ObjectLoadTargets& t) {
    auto record = std::make_unique<CQUORVISData>(readController(values));
    // A second key with the same id would silently replace the first one in the table.
    int result = t.controllers.contains(record->DeviceId) ? kDuplicateKey : kRegistered;
    if (result == kRegistered && t.registerController) result = t.registerController(*record);
    if (result == kRegistered) {
        t.controllers.insert(std::move(record));
    } else if (t.reportError) {
        t.reportError(registrationErrorText(result));
    }
}

void loadSchedule(ScheduleKind kind, const KeyValues& values, CScheduleDataList& list) {
    list.insert(std::make_unique<CScheduleData>(readSchedule(kind, values)));
}

constexpr int kMaxKeyNameLength = 254;

void dispatch(const StoredKey& key, ObjectLoadTargets& t) {
    if (key.name.size() > kMaxKeyNameLength) return;
    if (hasPrefix(key.name, "ID_")) {
        loadController(key.values, t);
    } else if (hasPrefix(key.name, "MA_ID_")) {
        if (t.loadMailAccount) t.loadMailAccount(key.name, key.values);
    } else if (hasPrefix(key.name, "SCH_ID_")) {
        loadSchedule(SCHEDULE_EMAIL, key.values, t.mailSchedules);
    } else if (hasPrefix(key.name, "SCH_ID2_")) {
        loadSchedule(SCHEDULE_NOTIFICATION_MESSAGE, key.values, t.messageSchedules);
    } else if (hasPrefix(key.name, "SOUND_ID_")) {
        t.sounds.insert(readSound(key.values));
    }
}

} // namespace

QString registrationErrorText(int result) {
    if (result == kOutOfMemory) return loadString(TEXT_INSUFFICIENT_MEMORY);
    if (result == kDuplicateKey) return loadString(TEXT_DEVICE_ID_DUPLICATED);
    return loadString(TEXT_UNKNOWN_ERROR);
}

bool loadObjects(Store& store, ObjectLoadTargets& targets) {
    std::vector<StoredKey> keys;
    if (!store.readAll(keys)) return false;
    targets.sounds.installBuiltIn(targets.startDirectory);
    for (const StoredKey& key : keys)
        dispatch(key, targets);
    return true;
}

} // namespace iomira
