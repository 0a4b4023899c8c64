#include "monitor/notification_handler.h"

#include "core/device_family.h"
#include "core/log_texts.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/connection_manager.h"
#include "monitor/counter_text.h"
#include "monitor/error_text.h"
#include "monitor/initial_read.h"
#include "monitor/monitor_events.h"
#include "monitor/monitor_log.h"
#include "monitor/polled_value_listener.h"
#include "monitor/port_change_listener.h"
#include "monitor/port_reading.h"
#include "monitor/shared_controllers.h"

#include <QDateTime>

namespace iomira {

namespace {

constexpr int kDefaultTag = 0;
constexpr int kReadDeviceIdSpecific = 4;
constexpr int kObjectFirmware = 0x83;
constexpr int kObjectOutputs = 0x85;
constexpr int kLastHandledCode = MB_DI_CHANGE_DONE;
constexpr int kInvalidTemperature = 20000;

// Every decoded frame answers a request but the damaged ones and the controller's own change
// reports.
bool isAnswer(intptr_t code) {
    switch (code) {
    case MB_BAD_LENGTH:
    case MB_BAD_PACKET:
    case MB_REPORT_INPUTS:
    case MB_REPORT_OUTPUTS:
    case MB_REPORT_COUNTERS:
        return false;
    default:
        return code >= 0;
    }
}

QString text(int id) {
    return logText(id);
}

} // namespace

NotificationHandler::NotificationHandler(SharedControllers& controllers, MonitorLog& log,
                                         ConnectionManager& connections, MonitorEvents& events,
                                         PortChangeListener& dispatch)
    : controllers_(controllers), log_(log), connections_(connections), events_(events),
      dispatch_(dispatch) {}

CQUORVISData* NotificationHandler::find(uintptr_t deviceId) const {
    return controllers_.table().find(static_cast<int>(deviceId));
}

void NotificationHandler::onConnection(uintptr_t deviceId, intptr_t lparam) {
    CQUORVISData* c = find(deviceId);
    if (!c) return;
    const int event = CORVEL_LPARAM_EVENT(lparam);
    const int error = CORVEL_LPARAM_ERROR(lparam);
    if (error != 0) {
        log_.state(*c, LogCategory::Tcp, socketErrorText(error));
        if (get_tcp_connection_state(c->DeviceId) == TCP_ERROR) connections_.noteFailure(*c);
    } else if (event == CORVEL_FD_ACCEPT || event == CORVEL_FD_CONNECT) {
        connectionEstablished(*c);
    } else if (event == CORVEL_FD_CLOSE) {
        log_.state(*c, LogCategory::Tcp);
    }
    events_.connectionNotified(c->DeviceId, lparam);
}

void NotificationHandler::connectionEstablished(CQUORVISData& c) {
    c.InputsValid = 0;
    c.OutputsValid = 0;
    const int t = c.DeviceType;
    int32_t error = 0;
    if (t == FAMILY_RLX820 || t == FAMILY_RLX830 || t == FAMILY_RLX850) {
        // The identification answers lead Corvel to enable change reports; its
        // acknowledgement (MB_DI_CHANGE_DONE) starts the initial read.
        rlx8xx_eit_request(c.DeviceId, kReadDeviceIdSpecific, kObjectFirmware, &error, kDefaultTag);
        if (t != FAMILY_RLX820)
            rlx8xx_eit_request(c.DeviceId, kReadDeviceIdSpecific, kObjectOutputs, &error,
                               kDefaultTag);
    } else {
        sendInitialRead(c, log_);
    }
    log_.state(c, LogCategory::Tcp);
}

void NotificationHandler::onData(uintptr_t deviceId, intptr_t code) {
    CQUORVISData* c = find(deviceId);
    if (!c) return;
    if (isAnswer(code)) {
        c->LastAnswerMs = QDateTime::currentMSecsSinceEpoch();
        events_.answered(c->DeviceId);
    }
    recordPortReading(*c, code);
    if (code < 0 || code > kLastHandledCode) return;
    switch (code) {
    case MB_BAD_LENGTH:
    case MB_BAD_PACKET:
        damagedFrame(*c);
        break;
    case MB_INPUTS:
    case MB_ANALOG_VALUES:
    case MB_COUNTERS:
        inputResponse(*c, static_cast<int>(code));
        break;
    case MB_OUTPUTS:
        outputResponse(*c);
        break;
    case MB_REGISTER:
        log_.state(*c, LogCategory::Input, text(TEXT_RESPONSE_ADC));
        break;
    case MB_INPUTS_EXCEPTION:
        exceptionResponse(*c, TEXT_ERROR_READ_INPUTS, 0);
        break;
    case MB_OUTPUTS_EXCEPTION:
        exceptionResponse(*c, TEXT_ERROR_READ_OUTPUTS, 1);
        break;
    case MB_REGISTER_EXCEPTION:
        exceptionResponse(*c, TEXT_ERROR_READ_ADC, 0);
        break;
    case MB_UNKNOWN_FUNCTION:
        log_.state(*c, LogCategory::Any, text(TEXT_UNKNOWN_FUNCTION));
        break;
    case MB_PULSE_DONE:
        log_.state(*c, LogCategory::Output, text(TEXT_PULSE_DONE));
        break;
    case MB_PULSE_EXCEPTION:
        log_.state(*c, LogCategory::Output, text(TEXT_PULSE_ERROR));
        break;
    case MB_COIL_DONE:
        log_.state(*c, LogCategory::Output, text(TEXT_COIL_DONE));
        break;
    case MB_COIL_EXCEPTION:
        log_.state(*c, LogCategory::Output, text(TEXT_COIL_ERROR));
        break;
    case MB_DI_CHANGE_DONE:
        sendInitialRead(*c, log_);
        break;
    default:
        break;
    }
}

void NotificationHandler::damagedFrame(CQUORVISData& c) {
    int folded = 0;
    if (damagedFrames_.admit(c.DeviceId, QDateTime::currentMSecsSinceEpoch(), folded))
        writeDamagedFrameLine(c, folded);
}

// The line says how many like it were held back since the last one.
void NotificationHandler::writeDamagedFrameLine(CQUORVISData& c, int folded) {
    QString line = text(TEXT_INVALID_LENGTH);
    if (folded > 0) line += QStringLiteral(" (%1 more since the last line)").arg(folded);
    log_.state(c, LogCategory::Tcp, line);
}

void NotificationHandler::flushFoldedLines(int64_t nowMs) {
    for (const FoldedLines::Due& due : damagedFrames_.takeDue(nowMs)) {
        if (CQUORVISData* c = find(static_cast<uintptr_t>(due.deviceId)))
            writeDamagedFrameLine(*c, due.folded);
        else
            damagedFrames_.forget(due.deviceId);
    }
}

// The response line goes under the request's category; the exception text, when there is
// one, always goes under the input switch.
void NotificationHandler::exceptionResponse(CQUORVISData& c, int textId, int outputs) {
    const int exception = get_modbus_error_code(c.DeviceId);
    log_.state(c, outputs ? LogCategory::Output : LogCategory::Input, text(textId));
    if (exception != 0) log_.state(c, LogCategory::Input, modbusExceptionText(exception));
}

void NotificationHandler::inputResponse(CQUORVISData& c, int code) {
    if (code == MB_INPUTS) {
        if (c.InputsValid == 0 && c.DeviceType == FAMILY_GENERIC && c.NumberOfPortInput > 0 &&
            c.NumberOfPortOutput > 0) {
            int32_t error = 0;
            read_coils(c.DeviceId, c.NumberOfPortOutput, &error, kDefaultTag);
            log_.state(c, LogCategory::Output, text(TEXT_SEND_READ_OUTPUTS));
        }
        // The first response after a connection only fills the image; later ones report
        // changes.
        if (c.InputsValid == 0)
            c.InputsValid = 1;
        else
            dispatch_.DispatchInputChanges(c);
    }
    log_.state(c, LogCategory::Input, text(TEXT_RESPONSE_INPUTS));
    if (c.DeviceType == FAMILY_GENERIC) inputImage(c, c.NumberOfPortInput);
    if (code == MB_ANALOG_VALUES) analogValues(c);
    if (code == MB_COUNTERS) counterValues(c);
    if (code == MB_INPUTS && (c.DeviceType == FAMILY_RLX820 || c.DeviceType == FAMILY_RLX850))
        inputImage(c, kCounterInputs);
}

void NotificationHandler::heard(const CQUORVISData& c, TrendKind kind, int index, int32_t raw) {
    if (values_) values_->polledValue(c, kind, index, raw);
}

void NotificationHandler::inputImage(CQUORVISData& c, int count) {
    for (int i = 0; i < count && i < kDigitalPorts; ++i) {
        const int value = get_received_port_value(c.DeviceId, CORVEL_KIND_INPUT, i);
        log_.inputStatus(c, i, value);
        c.InputImage[i] = static_cast<uint8_t>(value == 1 ? 1 : 0);
        heard(c, TrendKind::DigitalInput, i, c.InputImage[i]);
    }
}

void NotificationHandler::analogValues(CQUORVISData& c) {
    if (c.DeviceType == FAMILY_RLX840) {
        temperatureValue(c);
        return;
    }
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        const int raw = get_ai_value_register(c.DeviceId, ch);
        heard(c, TrendKind::Analog, ch, raw);
        log_.value(c, QStringLiteral("ANALOG"), text(TEXT_ANALOG_VALUE), ch, raw);
    }
}

// A sensor in error leaves a register that means nothing; the trend skips it.
void NotificationHandler::temperatureValue(CQUORVISData& c) {
    const int raw = static_cast<int16_t>(get_ai_value_register(c.DeviceId, 0));
    if (raw == kInvalidTemperature || raw == -kInvalidTemperature) return;
    if (get_ai_error_code(c.DeviceId, 0) < 1) heard(c, TrendKind::Temperature, 0, raw);
    log_.temperature(c, QString::asprintf("%.1f", raw / 10.0));
}

void NotificationHandler::counterValues(CQUORVISData& c) {
    for (int n = 0; n < kCounterInputs; ++n) {
        const uint32_t value = counterValue(get_di_counter_value_register(c.DeviceId, 2 * n),
                                            get_di_counter_value_register(c.DeviceId, 2 * n + 1));
        heard(c, TrendKind::Counter, n, static_cast<int32_t>(value));
        log_.value(c, QStringLiteral("COUNTER"), text(TEXT_COUNTER_VALUE), n, value);
    }
}

void NotificationHandler::outputResponse(CQUORVISData& c) {
    if (c.OutputsValid == 0)
        c.OutputsValid = 1;
    else
        dispatch_.DispatchOutputChanges(c);
    log_.state(c, LogCategory::Output, text(TEXT_RESPONSE_OUTPUTS));
    for (int i = 0; i < c.NumberOfPortOutput && i < kDigitalPorts; ++i) {
        const int value = get_received_port_value(c.DeviceId, CORVEL_KIND_OUTPUT, i);
        c.OutputImage[i] = static_cast<uint8_t>(value == 1 ? 1 : 0);
        heard(c, TrendKind::DigitalOutput, i, c.OutputImage[i]);
        log_.state(c, LogCategory::Output, text(TEXT_OUTPUT_PORT_STATUS), i, value);
    }
}

} // namespace iomira
