#pragma once

#include <QString>

namespace iomira {

// The RLX-840's temperature: tenths of a degree as a signed 16-bit register, in Celsius (mode
// 0) or Fahrenheit (mode 1).
QString temperatureUnit(int mode);
int temperatureHundredths(int rawRegister);
// "-12.3℃ ".
QString temperatureText(int rawRegister, int mode);
// What the value shows while the controller is not connected.
QString disconnectedTemperatureText(int mode);
// "[E03] RTD Sensor Disconnected."; a code with no known text gives the code alone. The log
// takes the English words whatever the language.
QString sensorErrorText(int code);
QString sensorErrorLogText(int code);

} // namespace iomira
