#include "monitor/initial_read.h"

#include "core/device_family.h"
#include "core/log_texts.h"
#include "core/quorvis_data.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/monitor_log.h"

namespace iomira {

namespace {

constexpr int kDefaultTag = 0;

void readInputsOrOutputs(const CQUORVISData& c, MonitorLog& log) {
    int32_t error = 0;
    const int id = c.DeviceId;
    if (c.NumberOfPortInput > 0) {
        read_discrete_inputs(id, c.NumberOfPortInput, &error, kDefaultTag);
        log.state(c, LogCategory::Input, logText(TEXT_SEND_READ_INPUTS_INITIAL));
        return;
    }
    if (c.NumberOfPortOutput <= 0) return;
    if (c.DeviceType == FAMILY_RLX830) {
        rlx8xx_read_all(id, FAMILY_RLX830, CORVEL_READ_INPUTS_OUTPUTS, &error);
    } else {
        read_coils(id, c.NumberOfPortOutput, &error, kDefaultTag);
    }
    log.state(c, LogCategory::Output, logText(TEXT_SEND_READ_OUTPUTS_INITIAL));
}

bool connected(int id) {
    return get_tcp_connection_state(id) == TCP_ESTABLISHED;
}

bool connectionReady(int id) {
    return get_modbus_error_code(id) == 0 && connected(id);
}

bool pollsOutputs(const CQUORVISData& c) {
    const int t = c.DeviceType;
    const bool family = t == FAMILY_GENERIC || t == FAMILY_RLX830 || t == FAMILY_RLX850;
    return c.Polling == 1 && family && c.NumberOfPortOutput > 0;
}

void pollOutputs(const CQUORVISData& c, MonitorLog& log) {
    if (!pollsOutputs(c)) return;
    const int t = c.DeviceType;
    int32_t error = 0;
    if (t == FAMILY_GENERIC) {
        read_coils(c.DeviceId, c.NumberOfPortOutput, &error, kDefaultTag);
    } else {
        rlx8xx_read_all(c.DeviceId, t, CORVEL_READ_OUTPUTS, &error);
    }
    log.state(c, LogCategory::Output, logText(TEXT_SEND_READ_OUTPUTS));
}

// The register read mode of each family's input poll; -1 for a family that has none.
int inputPollMode(int deviceType) {
    switch (deviceType) {
    case FAMILY_RLX810:
    case FAMILY_RLX820:
    case FAMILY_RLX850:
        return CORVEL_READ_INPUTS;
    case FAMILY_RLX840:
        return CORVEL_READ_INPUTS_OUTPUTS;
    default:
        return -1;
    }
}

bool pollsDigitalInputs(const CQUORVISData& c) {
    const int t = c.DeviceType;
    return (t == FAMILY_GENERIC || t == FAMILY_RLX830) && c.NumberOfPortInput > 0;
}

bool pollsInputs(const CQUORVISData& c) {
    return c.PollingInput == 1 && (pollsDigitalInputs(c) || inputPollMode(c.DeviceType) >= 0);
}

void pollInputs(const CQUORVISData& c, MonitorLog& log) {
    if (!pollsInputs(c)) return;
    const int t = c.DeviceType;
    int32_t error = 0;
    if (pollsDigitalInputs(c)) {
        if (t == FAMILY_GENERIC) {
            read_discrete_inputs(c.DeviceId, c.NumberOfPortInput, &error, kDefaultTag);
        } else {
            rlx8xx_read_all(c.DeviceId, FAMILY_RLX830, CORVEL_READ_OUTPUTS, &error);
        }
        log.state(c, LogCategory::Input, logText(TEXT_SEND_READ_INPUTS));
        return;
    }
    rlx8xx_read_all(c.DeviceId, t, inputPollMode(t), &error);
    log.state(c, LogCategory::Input, logText(TEXT_SEND_READ_INPUT_REGISTERS));
}

} // namespace

void sendInitialRead(const CQUORVISData& c, MonitorLog& log) {
    int32_t error = 0;
    switch (c.DeviceType) {
    case FAMILY_GENERIC:
    case FAMILY_RLX830:
        readInputsOrOutputs(c, log);
        return;
    case FAMILY_RLX810:
    case FAMILY_RLX820:
    case FAMILY_RLX850:
        rlx8xx_read_all(c.DeviceId, c.DeviceType, CORVEL_READ_INPUTS_OUTPUTS, &error);
        break;
    case FAMILY_RLX840:
        rlx8xx_read_all(c.DeviceId, c.DeviceType, CORVEL_READ_INPUTS, &error);
        break;
    default:
        return;
    }
    log.state(c, LogCategory::Input, logText(TEXT_SEND_READ_ALL_REGISTERS));
}

bool isPolled(const CQUORVISData& c) {
    return connectionReady(c.DeviceId) && (pollsOutputs(c) || pollsInputs(c));
}

void pollController(const CQUORVISData& c, MonitorLog& log, bool despiteException) {
    const auto ready = [&] {
        return despiteException ? connected(c.DeviceId) : connectionReady(c.DeviceId);
    };
    if (!ready()) return;
    // Both reads leave in one write.
    corvel_gather_sends(c.DeviceId);
    pollOutputs(c, log);
    // The output read may have found the connection gone; the input poll checks again.
    if (ready()) pollInputs(c, log);
    int32_t error = 0;
    corvel_send_gathered(c.DeviceId, &error);
}

} // namespace iomira
