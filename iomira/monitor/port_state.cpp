#include "monitor/port_state.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/error_text.h"

#include <QDateTime>

#include <cerrno>

namespace iomira {

LampImage inputLamp(const InputFacts& f) {
    const LampColor color = f.value == 1 ? LampColor::Yellow : LampColor::Grey;
    if (f.readError) return {color, LampMark::Error};
    if (f.soundAssigned) return {color, LampMark::Speaker};
    return {color, LampMark::None};
}

LampImage outputLamp(const OutputFacts& f) {
    if (f.readError) return {LampColor::Grey, LampMark::Error};
    const LampColor color = f.value == 1 ? LampColor::Green : LampColor::Grey;
    if (f.restricted) return {color, LampMark::Lock};
    if (f.genericPulse) return {color, f.pulseToOn ? LampMark::Pulse : LampMark::InvertedPulse};
    if (f.rlxPulse) return {color, LampMark::Pulse};
    if (f.warning) return {color, LampMark::Warning};
    return {color, LampMark::None};
}

InputFacts inputFacts(const CQUORVISData& c, int port, int value, bool readError) {
    InputFacts f;
    f.value = value;
    f.readError = readError;
    if (port >= 0 && port < kDigitalPorts)
        f.soundAssigned = c.OnDiSoundId[port] != 0 || c.OffDiSoundId[port] != 0;
    return f;
}

OutputFacts outputFacts(const CQUORVISData& c, int port, int value, bool readError,
                        bool rlxPulseFlag) {
    OutputFacts f;
    f.value = value;
    f.readError = readError;
    f.restricted = c.OutputPortControl == 1;
    if (port < 0 || port >= kDigitalPorts) return f;
    f.genericPulse = c.DeviceType == FAMILY_GENERIC && c.UsePulseDo[port] == 1;
    f.pulseToOn = c.SignalLevelDo[port] != 0;
    f.rlxPulse = (c.DeviceType == FAMILY_RLX830 || c.DeviceType == FAMILY_RLX850) && rlxPulseFlag;
    f.warning = warningApplies(c, port);
    return f;
}

bool warningApplies(const CQUORVISData& c, int port) {
    if (c.UseWarningMsg != 1) return false;
    if (c.WarningMsgType == 0) return true;
    return c.WarningMsgType == 1 && port >= 0 && port < kDigitalPorts &&
           c.UseWarningMsgDo[port] == 1;
}

bool hasPulseTooltip(const CQUORVISData& c, int port) {
    return c.DeviceType == FAMILY_GENERIC && port >= 0 && port < kDigitalPorts &&
           c.UsePulseDo[port] == 1;
}

StatusLine statusLine(int state, int automaticConnection, int errorCode) {
    switch (state) {
    case TCP_LISTEN:
        return {loadString(TEXT_LISTENING), ConnectionIcon::Connecting};
    case TCP_CONNECTING:
        return {loadString(TEXT_CONNECTING), ConnectionIcon::Connecting};
    case TCP_ESTABLISHED:
        return {loadString(TEXT_CONNECTED), ConnectionIcon::Connected};
    case TCP_ERROR:
        return {socketErrorText(errorCode), ConnectionIcon::Error};
    default:
        break;
    }
    return {loadString(TEXT_CLOSED),
            automaticConnection == 1 ? ConnectionIcon::ClosedAuto : ConnectionIcon::ClosedManual};
}

StatusLine notRespondingLine(int64_t lastAnswerMs) {
    if (lastAnswerMs <= 0) return {loadString(TEXT_NOT_RESPONDING), ConnectionIcon::NotResponding};
    const QString time =
        QDateTime::fromMSecsSinceEpoch(lastAnswerMs).toString(QStringLiteral("HH:mm:ss"));
    return {loadString(TEXT_NOT_RESPONDING_SINCE).replace(QLatin1String("%s"), time),
            ConnectionIcon::NotResponding};
}

QStringList usualStatusTexts() {
    QStringList texts;
    for (int state : {TCP_CLOSED, TCP_LISTEN, TCP_CONNECTING, TCP_ESTABLISHED})
        texts << statusLine(state, 1, 0).text;
    for (int error : {ECONNREFUSED, ETIMEDOUT, EHOSTUNREACH, ECONNRESET})
        texts << socketErrorText(error);
    texts << notRespondingLine(1).text;
    return texts;
}

} // namespace iomira
