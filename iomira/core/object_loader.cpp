#include "core/object_loader.h"

#include "core/controller_keys.h"
#include "core/controller_repair.h"
#include "core/device_family.h"
#include "core/schedule_store.h"
#include "core/sound_library.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <algorithm>
#include <unordered_set>

namespace iomira {

namespace {

constexpr int kRegistered = 1;
constexpr int kDuplicateKey = -1;
constexpr int kOutOfMemory = -2;

bool hasPrefix(const QString& name, const char* prefix) {
    return name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

// A controller of an unknown family is read with a generic controller's values, so that its
// ports survive the repair to a generic controller.
CQUORVISData readStoredController(const KeyValues& values) {
    CQUORVISData record = readController(values);
    if (isKnownFamily(record.DeviceType)) return record;
    KeyValues generic = values;
    generic.add(StoreValue::dwordValue(QStringLiteral("DeviceType"), FAMILY_GENERIC));
    const int stored = record.DeviceType;
    record = readController(generic);
    record.DeviceType = stored;
    return record;
}

void registerController(const CQUORVISData& loaded, ObjectLoadTargets& t) {
    int result = kRegistered;
    if (t.registerController) result = t.registerController(loaded);
    if (result == kRegistered) {
        t.controllers.insert(std::make_unique<CQUORVISData>(loaded));
    } else if (t.reportError) {
        t.reportError(registrationErrorText(result));
    }
}

// Repairs, saves and registers the controllers read, in store order.
void takeControllers(std::vector<CQUORVISData>& records, ObjectLoadTargets& t) {
    const ControllerRepairSteps& steps = t.repairs;
    const std::vector<ControllerRepair> repairs = repairControllers(records, steps.groups);
    for (const ControllerRepair& repair : repairs) {
        const auto repaired =
            std::find_if(records.begin(), records.end(),
                         [&](const CQUORVISData& c) { return c.DeviceId == repair.deviceId; });
        if (steps.save) steps.save(*repaired);
    }
    for (const CQUORVISData& record : records)
        registerController(record, t);
    if (!repairs.empty() && steps.report) steps.report(repairsMessage(repairs));
}

// The controllers read so far, in store order, and their ids.
struct ReadControllers {
    std::vector<CQUORVISData> records;
    std::unordered_set<int> ids;
};

// A second key with the same id would silently replace the first one in the table.
void readControllerKey(const KeyValues& values, ReadControllers& read, const ObjectLoadTargets& t) {
    CQUORVISData record = readStoredController(values);
    const bool taken =
        t.controllers.contains(record.DeviceId) || !read.ids.insert(record.DeviceId).second;
    if (!taken) {
        read.records.push_back(std::move(record));
    } else if (t.reportError) {
        t.reportError(registrationErrorText(kDuplicateKey));
    }
}

void loadSchedule(ScheduleKind kind, const KeyValues& values, CScheduleDataList& list) {
    list.insert(std::make_unique<CScheduleData>(readSchedule(kind, values)));
}

constexpr int kMaxKeyNameLength = 254;

void dispatch(const StoredKey& key, ReadControllers& controllers, ObjectLoadTargets& t) {
    if (key.name.size() > kMaxKeyNameLength) return;
    if (hasPrefix(key.name, "ID_")) {
        readControllerKey(key.values, controllers, t);
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
    ReadControllers controllers;
    for (const StoredKey& key : keys)
        dispatch(key, controllers, targets);
    takeControllers(controllers.records, targets);
    return true;
}

} // namespace iomira
