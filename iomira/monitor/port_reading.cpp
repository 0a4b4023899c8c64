#include "monitor/port_reading.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"

#include <QDateTime>

namespace iomira {

namespace {

uint8_t receivedBits(int deviceId, int kind) {
    uint8_t bits = 0;
    for (int port = 0; port < kDigitalPorts; ++port) {
        if (get_received_port_value(deviceId, kind, port) == 1) bits |= uint8_t(1u << port);
    }
    return bits;
}

QString readTime(int64_t ms) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(ms);
    const bool today = when.date() == QDate::currentDate();
    return when.toString(today ? QStringLiteral("HH:mm:ss")
                               : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

void recordPortReading(CQUORVISData& c, intptr_t code) {
    // A change report is no answer: the time of the last answer may lie far back.
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    if (code == MB_INPUTS || code == MB_REPORT_INPUTS) {
        c.LastInputs = receivedBits(c.DeviceId, CORVEL_KIND_INPUT);
        c.InputsReadMs = now;
    } else if (code == MB_OUTPUTS || code == MB_REPORT_OUTPUTS) {
        c.LastOutputs = receivedBits(c.DeviceId, CORVEL_KIND_OUTPUT);
        c.OutputsReadMs = now;
    }
}

bool portsUnknown(int connectionState, bool notResponding) {
    return connectionState != TCP_ESTABLISHED || notResponding;
}

LampImage withKnowledge(LampImage image, bool unknown) {
    image.unknown = unknown;
    return image;
}

QString lastReadingText(const CQUORVISData& c, int kind, int port) {
    const bool input = kind == CORVEL_KIND_INPUT;
    const int64_t readMs = input ? c.InputsReadMs : c.OutputsReadMs;
    if (readMs <= 0 || port < 0 || port >= kDigitalPorts) return loadString(TEXT_LAMP_NEVER_READ);
    const uint8_t bits = input ? c.LastInputs : c.LastOutputs;
    const QString value = loadString((bits >> port & 1) ? TEXT_ON : TEXT_OFF);
    return loadString(TEXT_LAMP_LAST_READ).arg(value, readTime(readMs));
}

QString lampTooltip(const QString& partsTip, const CQUORVISData& c, int kind, int port,
                    bool unknown) {
    if (!unknown) return partsTip;
    const QString reading =
        loadString(TEXT_LAMP_UNKNOWN) + QLatin1Char('\n') + lastReadingText(c, kind, port);
    return partsTip.isEmpty() ? reading : partsTip + QLatin1Char('\n') + reading;
}

} // namespace iomira
