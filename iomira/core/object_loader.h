#pragma once

#include "core/controller_table.h"
#include "core/store.h"

#include <functional>

namespace iomira {

class CROOTDataList;
class CScheduleDataList;
class SoundLibrary;

// The start-up check of the loaded controllers (repairControllers); an unset step is skipped.
struct ControllerRepairSteps {
    // The groups the controllers are placed in; unset: groups and positions are not checked.
    const CROOTDataList* groups = nullptr;
    // Writes a repaired record back; unset (a reader that changes nothing): memory only.
    std::function<bool(const CQUORVISData&)> save;
    // Tells the operator, once, which controllers were repaired (repairsMessage).
    std::function<void(const QString& message)> report;
};

// Where the start-up loader puts what it finds, and the steps other parts of the program own.
struct ObjectLoadTargets {
    ControllerTable& controllers;
    SoundLibrary& sounds;
    CScheduleDataList& mailSchedules;
    CScheduleDataList& messageSchedules;
    // The directory the program started in; the built-in siren entry points there.
    QString startDirectory;

    // Registers a loaded controller with the Modbus/TCP library; returns add_device's result
    // (1 accepted, -1 key taken, -2 out of memory). Unset: every controller is accepted.
    std::function<int(const CQUORVISData&)> registerController;
    // Reads one "MA_ID_" key into the mail-account table.
    std::function<void(const QString& keyName, const KeyValues& values)> loadMailAccount;
    // Shows a message box for a controller that could not be taken in.
    std::function<void(const QString& message)> reportError;
    ControllerRepairSteps repairs;
};

// Loads controllers, mail accounts, both schedule lists and the sounds, in store order.
// Controllers with values no dialog writes are repaired before they are registered. False when the
// store could not be read; nothing is loaded then.
bool loadObjects(Store& store, ObjectLoadTargets& targets);

// The message shown when add_device refused a controller with `result`.
QString registrationErrorText(int result);

} // namespace iomira
