// The requests of the RLX windows that have counters or analog inputs: reading every input
// register, resetting counters, and what follows each of their notifications.

#include "monitor/controller_commands.h"

#include "core/device_family.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/error_text.h"

namespace iomira {

bool ControllerCommands::inputClickReads() const {
    return connectionState() == TCP_ESTABLISHED && c_->PollingInput != 1;
}

CommandOutcome ControllerCommands::readAllInputs() {
    if (!inputClickReads()) return {};
    int32_t error = 0;
    return readOutcome(rlx8xx_read_all(c_->DeviceId, c_->DeviceType, CORVEL_READ_INPUTS, &error),
                       error);
}

void ControllerCommands::readAllInputsLater(bool logged) {
    int32_t error = 0;
    const int result = rlx8xx_read_all(c_->DeviceId, c_->DeviceType, CORVEL_READ_INPUTS, &error);
    if (logged && result == CORVEL_OK) log(LogCategory::Input, TEXT_SEND_READ_INPUTS);
}

bool ControllerCommands::counterResettable(int counter) const {
    return counter >= 0 && counter < kCounterInputs && connectionState() == TCP_ESTABLISHED &&
           c_->DiCounter[counter] == 1;
}

CommandOutcome ControllerCommands::resetCounter(int counter) {
    CommandOutcome outcome;
    if (!counterResettable(counter)) return outcome;
    int32_t error = 0;
    const int result = reset_di_statistics(c_->DeviceId, counter, &error, kDefaultTag);
    if (result == CORVEL_OK)
        log(LogCategory::Input, TEXT_SEND_RESET_COUNTER, counter);
    else if (result == CORVEL_SOCKET_ERROR)
        outcome.message = socketErrorText(error);
    return outcome;
}

DataReaction ControllerCommands::modelDataArrived(int code) {
    return withoutRepeatedException(code, familyDataArrived(code));
}

DataReaction ControllerCommands::familyDataArrived(int code) {
    switch (c_->DeviceType) {
    case FAMILY_RLX850:
        return rlx850DataArrived(code);
    case FAMILY_RLX820:
        return rlx820DataArrived(code);
    default:
        break;
    }
    DataReaction reaction;
    const bool rlx840 = c_->DeviceType == FAMILY_RLX840;
    if (code == MB_INPUTS_EXCEPTION) {
        reaction.exceptionCode = get_modbus_error_code(c_->DeviceId);
        reaction.fullRefresh = true;
    } else if (rlx840 ? code == MB_ANALOG_ERRORS : code == MB_INPUTS || code == MB_ANALOG_VALUES) {
        reaction.redraw = true;
    }
    return reaction;
}

DataReaction ControllerCommands::rlx850DataArrived(int code) {
    DataReaction reaction;
    const int id = c_->DeviceId;
    switch (code) {
    case MB_INPUTS:
    case MB_COUNTERS:
    case MB_REPORT_INPUTS:
    case MB_REPORT_COUNTERS:
    case MB_OUTPUTS:
    case MB_REPORT_OUTPUTS:
    case MB_ANALOG_VALUES:
        reaction.redraw = true;
        break;
    case MB_INPUTS_EXCEPTION:
        reaction.exceptionCode = get_modbus_error_code(id);
        reaction.fullRefresh = true;
        break;
    case MB_OUTPUTS_EXCEPTION:
        reaction.outputsFailed = true;
        reaction.exceptionCode = get_modbus_error_code(id);
        break;
    case MB_COIL_EXCEPTION:
        reaction.exceptionCode = get_modbus_error_code(id);
        readOutputs();
        break;
    case MB_PULSE_DONE:
        reaction.readOutputsAfterMs = kModelReadDelayMs;
        break;
    case MB_PULSE_EXCEPTION:
        readOutputs();
        reaction.exceptionCode = get_modbus_error_code(id);
        break;
    case MB_COIL_DONE:
        if (c_->PollingInput != 1) {
            reaction.readAllAfterMs = kModelReadDelayMs;
            if (c_->Polling != 1) reaction.readOutputsAfterMs = kModelReadDelayMs;
        }
        break;
    case MB_PULSE_FLAGS:
        readPulseFlags();
        reaction.redraw = true;
        break;
    default:
        break;
    }
    return reaction;
}

// A counter reset is a coil write, so its answer is MB_COIL_DONE.
DataReaction ControllerCommands::rlx820DataArrived(int code) {
    DataReaction reaction;
    switch (code) {
    case MB_INPUTS:
    case MB_COUNTERS:
    case MB_REPORT_INPUTS:
    case MB_REPORT_COUNTERS:
        reaction.redraw = true;
        break;
    case MB_INPUTS_EXCEPTION:
        reaction.exceptionCode = get_modbus_error_code(c_->DeviceId);
        reaction.fullRefresh = true;
        break;
    case MB_COIL_DONE:
        if (c_->PollingInput != 1) reaction.readAllAfterMs = kModelReadDelayMs;
        break;
    case MB_COIL_EXCEPTION:
        reaction.exceptionCode = get_modbus_error_code(c_->DeviceId);
        break;
    default:
        break;
    }
    return reaction;
}

} // namespace iomira
