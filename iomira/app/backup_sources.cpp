#include "app/backup_file.h"

#include "core/global_settings.h"

#include <algorithm>

namespace iomira {

namespace {

std::vector<const CROOTData*> groupsByIndex(const CROOTDataList& list) {
    std::vector<const CROOTData*> groups;
    list.forEach([&](const CROOTData& group) { groups.push_back(&group); });
    std::stable_sort(groups.begin(), groups.end(),
                     [](const CROOTData* a, const CROOTData* b) { return a->Index < b->Index; });
    return groups;
}

} // namespace

BackupContents gatherBackup(const BackupSources& sources) {
    BackupContents contents;
    contents.groupCount = static_cast<uint16_t>(sources.groups.size());
    contents.controllerCount = static_cast<uint16_t>(sources.controllers.size());
    const std::vector<const CROOTData*> groups = groupsByIndex(sources.groups);
    for (const CROOTData* group : groups)
        contents.groups.push_back(*group);
    for (const CROOTData* group : groups) {
        for (const CQUORVISData* record : sources.controllers.GroupMembers(group->RootID)) {
            if (record)
                contents.controllers.emplace_back(*record);
            else
                contents.controllers.emplace_back();
        }
    }
    sources.mailAccounts.forEach(
        [&](const CMailAccount& account) { contents.mailAccounts.push_back(account); });
    sources.mailSchedules.forEach(
        [&](const CScheduleData& schedule) { contents.mailSchedules.push_back(schedule); });
    sources.messageSchedules.forEach(
        [&](const CScheduleData& schedule) { contents.messageSchedules.push_back(schedule); });
    contents.switches = sources.switches;
    sources.sounds.forEach([&](const CSound& sound) { contents.sounds.push_back(sound); });
    return contents;
}

BackupSwitches storedBackupSwitches(Store& store) {
    static constexpr const GlobalValue* kValues[BACKUP_SWITCH_COUNT] = {
        &INPUT_NOTIFICATION,
        &LOG_TCP,
        &LOG_INPUT,
        &LOG_OUTPUT,
        &LOG_NOTIFICATION_EMAIL,
        &USE_EMAIL_SCHEDULE,
        &USE_NOTIFICATION_MESSAGE_SCHEDULE,
        &USE_LOGIN};
    BackupSwitches switches;
    for (int n = 0; n < BACKUP_SWITCH_COUNT; ++n)
        switches.values[n] = getGlobal(store, *kValues[n]);
    return switches;
}

} // namespace iomira
