#include "monitor/temperature_text.h"

#include "core/log_texts.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <cstdint>

namespace iomira {

namespace {

int sensorErrorTextId(int code) {
    switch (code) {
    case 1:
        return TEXT_HW_INIT_ERROR;
    case 2:
        return TEXT_HW_RUNTIME_ERROR;
    case 3:
        return TEXT_RTD_DISCONNECTED;
    case 4:
        return TEXT_RTD_FAILED;
    default:
        return -1;
    }
}

QString errorCode(int code) {
    return QString::asprintf("[E%02d] ", code);
}

} // namespace

QString temperatureUnit(int mode) {
    if (mode == 0) return QString::fromUtf8("\u2103 ");
    if (mode == 1) return QString::fromUtf8("\u2109 ");
    return {};
}

int temperatureHundredths(int rawRegister) {
    return static_cast<int16_t>(rawRegister & 0xFFFF) * 10;
}

QString temperatureText(int rawRegister, int mode) {
    const int tenths = static_cast<int16_t>(rawRegister & 0xFFFF);
    return QString::asprintf("%.1f", tenths / 10.0) + temperatureUnit(mode);
}

QString disconnectedTemperatureText(int mode) {
    return QStringLiteral("0.0") + temperatureUnit(mode);
}

QString sensorErrorText(int code) {
    const int id = sensorErrorTextId(code);
    return errorCode(code) + (id < 0 ? QString() : loadString(id));
}

QString sensorErrorLogText(int code) {
    const int id = sensorErrorTextId(code);
    return errorCode(code) + (id < 0 ? QString() : logText(id));
}

} // namespace iomira
