#include "monitor/controller_commands.h"

#include "core/log_texts.h"

#include "core/device_family.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/error_text.h"
#include "monitor/monitor_log.h"
#include "monitor/port_reading.h"

namespace iomira {

ControllerCommands::ControllerCommands(const CQUORVISData& controller, MonitorLog* log)
    : c_(&controller), log_(log) {}

void ControllerCommands::setController(const CQUORVISData& controller) {
    c_ = &controller;
    pulses_ = PulseTracker();
    pulseFlags_ = {};
    shownReadExceptions_ = {};
}

namespace {

enum ReadKind { READ_INPUTS, READ_OUTPUTS, READ_REGISTER, NOT_A_READ };

// The read an exception answers, for those the polling repeats; exceptions answering a click
// (a coil write or a pulse) are always shown.
ReadKind exceptionReadKind(int code) {
    switch (code) {
    case MB_INPUTS_EXCEPTION:
        return READ_INPUTS;
    case MB_OUTPUTS_EXCEPTION:
        return READ_OUTPUTS;
    case MB_REGISTER_EXCEPTION:
        return READ_REGISTER;
    default:
        return NOT_A_READ;
    }
}

ReadKind goodAnswerReadKind(int code) {
    switch (code) {
    case MB_INPUTS:
    case MB_ANALOG_VALUES:
    case MB_COUNTERS:
        return READ_INPUTS;
    case MB_OUTPUTS:
        return READ_OUTPUTS;
    case MB_REGISTER:
        return READ_REGISTER;
    default:
        return NOT_A_READ;
    }
}

} // namespace

// The polling asks again every few seconds while a controller answers with an exception; the
// same exception to the same kind of read is shown once, and again only after a good answer
// to that kind of read came in between.
DataReaction ControllerCommands::withoutRepeatedException(int code, DataReaction reaction) {
    if (const ReadKind good = goodAnswerReadKind(code); good != NOT_A_READ) {
        shownReadExceptions_[good] = 0;
        return reaction;
    }
    const ReadKind kind = exceptionReadKind(code);
    if (kind == NOT_A_READ || reaction.exceptionCode == 0) return reaction;
    if (reaction.exceptionCode == shownReadExceptions_[kind])
        reaction.exceptionCode = 0;
    else
        shownReadExceptions_[kind] = reaction.exceptionCode;
    return reaction;
}

int ControllerCommands::connectionState() const {
    return get_tcp_connection_state(c_->DeviceId);
}

StatusLine ControllerCommands::status() const {
    if (c_->NotResponding && connectionState() == TCP_ESTABLISHED)
        return notRespondingLine(c_->LastAnswerMs);
    return statusLine(connectionState(), c_->AutomaticConnection, get_tcp_error_code(c_->DeviceId));
}

PortValues ControllerCommands::ports() const {
    const int id = c_->DeviceId;
    PortValues values;
    values.inputError = get_input_port_read_error(id) == 1;
    values.outputError = get_output_port_read_error(id) == 1;
    for (int port = 0; port < kDigitalPorts; ++port) {
        values.inputs[port] = get_received_port_value(id, CORVEL_KIND_INPUT, port);
        values.outputs[port] = get_received_port_value(id, CORVEL_KIND_OUTPUT, port);
    }
    return values;
}

bool ControllerCommands::valuesUnknown() const {
    return portsUnknown(connectionState(), c_->NotResponding);
}

LampShown ControllerCommands::inputLampShown(int port, const PortValues& values) const {
    const LampImage image =
        inputLamp(inputFacts(*c_, port, values.inputs[port], values.inputError));
    return lampShown(image, CORVEL_KIND_INPUT, port, valuesUnknown());
}

LampShown ControllerCommands::outputLampShown(int port, const PortValues& values) const {
    const LampImage image = outputLamp(
        outputFacts(*c_, port, values.outputs[port], values.outputError, pulseFlags_[port] == 1));
    return lampShown(image, CORVEL_KIND_OUTPUT, port, valuesUnknown());
}

LampShown ControllerCommands::unknownLamp(LampImage shown, int kind, int port) const {
    return lampShown(shown, kind, port, true);
}

LampShown ControllerCommands::lampShown(LampImage image, int kind, int port, bool unknown) const {
    return {withKnowledge(image, unknown),
            lampTooltip(portTooltip(kind, port), *c_, kind, port, unknown)};
}

QString ControllerCommands::portTooltip(int kind, int port) const {
    if (kind != CORVEL_KIND_OUTPUT || !hasPulseTooltip(*c_, port)) return {};
    return loadString(TEXT_OUTPUT_TOOLTIP).replace(QLatin1String("%d"), QString::number(port));
}

CommandOutcome ControllerCommands::readInputs() {
    CommandOutcome outcome;
    if (connectionState() != TCP_ESTABLISHED) return outcome;
    int32_t error = 0;
    return readOutcome(
        read_discrete_inputs(c_->DeviceId, c_->NumberOfPortInput, &error, kDefaultTag), error);
}

CommandOutcome ControllerCommands::readOutcome(int result, int32_t error) {
    CommandOutcome outcome;
    if (result == CORVEL_OK) {
        log(LogCategory::Input, TEXT_SEND_READ_INPUTS);
    } else if (result == CORVEL_WRONG_STATE) {
        log(LogCategory::Any, TEXT_SOCKET_NOT_ESTABLISHED);
    } else if (result == CORVEL_SOCKET_ERROR) {
        outcome.message = socketErrorText(error);
        if (log_) log_->state(*c_, LogCategory::Input, outcome.message);
    } else if (result == CORVEL_UNKNOWN_DEVICE) {
        outcome.message = loadString(TEXT_NO_SUCH_ID);
    }
    return outcome;
}

void ControllerCommands::readOutputs() {
    sendReadOutputs(LogCategory::Output);
}

void ControllerCommands::pulseTimeUp(int port) {
    pulses_.timerFired(port);
    sendReadOutputs(LogCategory::Input);
}

void ControllerCommands::sendReadOutputs(LogCategory category) {
    int32_t error = 0;
    read_coils(c_->DeviceId, c_->NumberOfPortOutput, &error, kDefaultTag);
    log(category, TEXT_SEND_READ_OUTPUTS);
}

OutputClick ControllerCommands::outputAction(int port) const {
    const bool rlxPulse = port >= 0 && port < kDigitalPorts && pulseFlags_[port] == 1;
    return outputClick(*c_, port, connectionState(), rlxPulse);
}

CommandOutcome ControllerCommands::switchOutput(int port, OutputClick action, int shownValue) {
    CommandOutcome outcome;
    int32_t error = 0;
    int result = CORVEL_OK;
    if (action == OutputClick::Pulse)
        result = sendPulse(port, error, outcome);
    else if (action == OutputClick::RlxPulse)
        result = sendRlxPulse(port, error);
    else if (action == OutputClick::Toggle)
        result = sendToggle(port, shownValue, error);
    if (result == CORVEL_SOCKET_ERROR) outcome.message = socketErrorText(error);
    return outcome;
}

// One pulse at a time: a click while one is under way sends nothing.
int ControllerCommands::sendPulse(int port, int32_t& error, CommandOutcome& outcome) {
    if (pulses_.pending()) return CORVEL_OK;
    const int result = output_port_pulse(c_->DeviceId, port, c_->DurationDo[port],
                                         c_->SignalLevelDo[port], &error, kDefaultTag);
    if (result != CORVEL_OK) return result;
    pulses_.started(port);
    log(LogCategory::Output, TEXT_SEND_WRITE_PULSE, port, LOG_PULSE);
    outcome.pulseTimerMs = pulseTimerMs(*c_, port);
    return result;
}

int ControllerCommands::sendRlxPulse(int port, int32_t& error) {
    const int result = rlx8xx_pulse_control(c_->DeviceId, port, &error, kDefaultTag);
    if (result == CORVEL_OK) log(LogCategory::Output, TEXT_SEND_WRITE_PULSE, port, LOG_PULSE);
    return result;
}

int ControllerCommands::sendToggle(int port, int shownValue, int32_t& error) {
    const int value = shownValue == 1 ? 0 : 1;
    const int result =
        output_port_coil_onoff(c_->DeviceId, port, value ? 0xFF : 0x00, &error, kDefaultTag);
    if (result == CORVEL_OK) log(LogCategory::Output, TEXT_SEND_WRITE_COIL, port, value);
    return result;
}

DataReaction ControllerCommands::dataArrived(int code) {
    return withoutRepeatedException(code, digitalDataArrived(code));
}

DataReaction ControllerCommands::digitalDataArrived(int code) {
    DataReaction reaction;
    switch (code) {
    case MB_INPUTS:
        reaction.redraw = true;
        break;
    case MB_OUTPUTS:
    case MB_REPORT_OUTPUTS:
        reaction.redraw = true;
        pulses_.outputsAnswered();
        break;
    case MB_INPUTS_EXCEPTION:
        reaction.inputsFailed = true;
        break;
    case MB_OUTPUTS_EXCEPTION:
        reaction.outputsFailed = true;
        break;
    case MB_PULSE_DONE:
        readOutputs();
        break;
    case MB_PULSE_EXCEPTION:
    case MB_COIL_EXCEPTION:
        readOutputs();
        reaction.exceptionCode = get_modbus_error_code(c_->DeviceId);
        break;
    case MB_REGISTER_EXCEPTION:
        reaction.exceptionCode = get_modbus_error_code(c_->DeviceId);
        break;
    case MB_COIL_DONE:
        reaction.readOutputsAfterMs = coilReadDelayMs(c_->DeviceType);
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

void ControllerCommands::readPulseFlags() {
    for (int port = 0; port < kDigitalPorts; ++port)
        pulseFlags_[port] = get_rlx8xx_output_pulse(c_->DeviceId, port) == 1 ? 1 : 0;
}

ConnectionReaction ControllerCommands::connectionChanged(intptr_t lparam) const {
    const int error = CORVEL_LPARAM_ERROR(lparam);
    const int event = CORVEL_LPARAM_EVENT(lparam);
    ConnectionReaction reaction;
    if (error != 0) {
        reaction.status = StatusLine{socketErrorText(error), ConnectionIcon::Error};
        reaction.lampsUnknown = true;
    } else if (event == CORVEL_FD_ACCEPT || event == CORVEL_FD_CONNECT)
        reaction.status = StatusLine{loadString(TEXT_CONNECTED), ConnectionIcon::Connected};
    else if (event == CORVEL_FD_CLOSE)
        reaction.redraw = true;
    return reaction;
}

void ControllerCommands::log(LogCategory category, int textId, int port, int value) {
    if (log_) log_->state(*c_, category, logText(textId), port, value);
}

} // namespace iomira
