#pragma once

#include "core/global_settings.h"
#include "core/schedule_list.h"
#include "core/sound_library.h"
#include "core/store.h"
#include "notify/mail_account.h"

namespace iomira {

class ControllerDirectory;

// Everything a backup holds, where the running program (or the command line) keeps it.
struct ConfigurationTables {
    Store& store;
    ControllerDirectory& directory;
    CMailAccountMap& mailAccounts;
    CScheduleDataList& mailSchedules;
    CScheduleDataList& messageSchedules;
    SoundLibrary& sounds;
    // Re-read from the store after a restore wrote the switches.
    GlobalSwitches& switches;
};

} // namespace iomira
