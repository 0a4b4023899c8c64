// The values an RLX window shows, read from what Corvel last received.

#include "monitor/controller_commands.h"

#include "corvel/corvel.h"
#include "monitor/counter_text.h"
#include "monitor/monitor_log.h"
#include "monitor/temperature_text.h"

namespace iomira {

QString ControllerCommands::counterText(int counter) const {
    if (counter < 0 || counter >= kCounterInputs || c_->DiCounter[counter] != 1) return {};
    const int id = c_->DeviceId;
    return iomira::counterText(counterValue(get_di_counter_value_register(id, 2 * counter),
                                            get_di_counter_value_register(id, 2 * counter + 1)));
}

AnalogDisplay ControllerCommands::analog(int channel) const {
    AnalogDisplay shown;
    if (channel < 0 || channel >= kAnalogChannels) return shown;
    const AnalogRange range = analogRange(c_->AIMin[channel], c_->AIMax[channel]);
    shown.name = QLatin1Char(' ') + c_->AIName[channel];
    shown.bar = barRange(range);
    if (connectionState() != TCP_ESTABLISHED) {
        shown.value = disconnectedAnalogText(c_->AIUnit[channel]);
        shown.position = barPosition(shown.bar, 0);
        return shown;
    }
    const int64_t hundredths =
        scaledHundredths(range, get_ai_value_register(c_->DeviceId, channel));
    shown.value = analogText(hundredths, c_->AIUnit[channel]);
    shown.position = barPosition(shown.bar, hundredths);
    return shown;
}

TemperatureDisplay ControllerCommands::temperature(bool logError) {
    const int id = c_->DeviceId;
    const int mode = get_ai_mode(id, 0);
    TemperatureDisplay shown;
    shown.bar = barRange(analogRange(c_->AIMin[0], c_->AIMax[0]));
    if (connectionState() != TCP_ESTABLISHED) {
        shown.value = disconnectedTemperatureText(mode);
        shown.position = barPosition(shown.bar, 0);
        return shown;
    }
    const int error = get_ai_error_code(id, 0);
    const int raw = get_ai_value_register(id, 0);
    if (error >= 1) {
        shown.sensorError = sensorErrorText(error);
        if (logError && log_)
            log_->value(*c_, QStringLiteral("ANALOG"), sensorErrorLogText(error), 0, error);
        return shown;
    }
    shown.value = temperatureText(raw, mode);
    shown.position = barPosition(shown.bar, temperatureHundredths(raw));
    return shown;
}

} // namespace iomira
