#include "core/controller_keys.h"

#include "core/device_family.h"

namespace iomira {

namespace {

QString indexed(const char* format, int n) { return QString::asprintf(format, n); }

void readIdentity(const KeyValues& v, CQUORVISData& r) {
    r.DeviceId = v.dword(QStringLiteral("DeviceId"), 0);
    r.DeviceType = v.dword(QStringLiteral("DeviceType"), 0);
    r.DeviceComment = v.text(QStringLiteral("DeviceComment"));
    r.setHostAddr(v.text(QStringLiteral("HostAddr")));
    r.HostPort = v.dword(QStringLiteral("HostPort"), 0);
    // The RLX families answer only to unit 255, whatever an older store holds.
    r.UnitId = r.DeviceType == FAMILY_GENERIC ? v.dword(QStringLiteral("UnitId"), 0) : kRlxUnitId;
    r.IsServer = v.dword(QStringLiteral("IsServer"), 0);
    r.InputAddr = v.dword(QStringLiteral("InputAddr"), 0);
    if (usesDigitalPorts(r.DeviceType)) {
        // Older stores kept one count for both directions.
        const int legacy = v.dword(QStringLiteral("NumberOfPort"), 0);
        r.NumberOfPortInput = v.dword(QStringLiteral("NumberOfPortInput"), legacy);
        r.NumberOfPortOutput = v.dword(QStringLiteral("NumberOfPortOutput"), r.NumberOfPortInput);
        r.OutputAddr = v.dword(QStringLiteral("OutputAddr"), 0);
        r.ViewMode = v.dword(QStringLiteral("ViewMode"), 0);
    }
}

void readWindowAndPolling(const KeyValues& v, CQUORVISData& r) {
    r.LastPosX = v.dword(QStringLiteral("LastPosX"), 0);
    r.LastPosY = v.dword(QStringLiteral("LastPosY"), 0);
    r.LastPosCX = v.dword(QStringLiteral("LastPosCX"), 0);
    r.LastPosCY = v.dword(QStringLiteral("LastPosCY"), 0);
    r.LastOpened = v.dword(QStringLiteral("LastOpened"), 0);
    r.Minimized = v.dword(QStringLiteral("Minimized"), 0);
    r.AutomaticConnection = v.dword(QStringLiteral("AutomaticConnection"), 0);
    r.PollingInput = v.dword(QStringLiteral("PollingInput"), 1);
    if (usesOutputPolling(r.DeviceType)) {
        r.Polling = v.dword(QStringLiteral("Polling"), 1);
        r.OutputPortControl = v.dword(QStringLiteral("OutputPortControl"), 0);
    }
    if (r.DeviceType == FAMILY_RLX810 || r.DeviceType == FAMILY_RLX850 ||
        r.DeviceType == FAMILY_RLX840) {
        r.Polling = 0; // these families are never polled for their outputs on their own
    }
    if (usesCounterFlags(r.DeviceType)) {
        for (int n = 0; n < kCounterInputs; ++n) {
            r.DiState[n] = v.dword(indexed("Di%dState", n), 1);
            r.DiCounter[n] = v.dword(indexed("Di%dCounter", n), 1);
        }
    }
}

void readAnalog(const KeyValues& v, CQUORVISData& r) {
    if (!usesAnalog(r.DeviceType)) return;
    const CQUORVISData created;
    for (int n = 0; n < kAnalogChannels; ++n) {
        r.AI[n] = v.dword(indexed("AI%d", n), 1);
        r.AIName[n] = v.text(indexed("AI%dName", n), created.AIName[n]);
        r.AIUnit[n] = v.text(indexed("AI%dUnit", n), created.AIUnit[n]);
        r.AIMin[n] = v.text(indexed("AI%dMin", n), created.AIMin[n]);
        r.AIMax[n] = v.text(indexed("AI%dMax", n), created.AIMax[n]);
        r.AIFgColor[n] = static_cast<uint32_t>(
            v.dword(indexed("AI%dFgColor", n), static_cast<int32_t>(created.AIFgColor[n])));
        r.AIBgColor[n] = static_cast<uint32_t>(
            v.dword(indexed("AI%dBgColor", n), static_cast<int32_t>(created.AIBgColor[n])));
    }
    for (int n = 0; n < 3; ++n) r.AIHeaderWidth[n] = v.dword(indexed("AIHeader%dWidth", n), 0);
}

void readGroupPlacement(const KeyValues& v, CQUORVISData& r) {
    r.RootID = v.dword(QStringLiteral("RootID"), 0);
    r.Index = v.dword(QStringLiteral("Index"), 0);
    r.LastPosXMin = v.dword(QStringLiteral("LastPosXMin"), 0);
    r.LastPosYMin = v.dword(QStringLiteral("LastPosYMin"), 0);
    r.LastPosCXMin = v.dword(QStringLiteral("LastPosCXMin"), 0);
    r.LastPosCYMin = v.dword(QStringLiteral("LastPosCYMin"), 0);
}

void readLogAndMail(const KeyValues& v, CQUORVISData& r) {
    r.UseLog = v.dword(QStringLiteral("UseLog"), 0);
    r.UseEmailNotification = v.dword(QStringLiteral("UseEmailNotification"), 0);
    r.MailTo = v.text(QStringLiteral("MailTo"));
    r.MailAccountID = v.dword(QStringLiteral("MailAccountID"), 0);
    r.MailSubject = v.text(QStringLiteral("MailSubject"));
    r.MailContent = v.text(QStringLiteral("MailContent"));
}

void readPorts(const KeyValues& v, CQUORVISData& r) {
    if (!usesDigitalPorts(r.DeviceType)) return;
    r.UseWarningMsg = v.dword(QStringLiteral("UseWarningMsg"), 0);
    r.WarningMsgType = v.dword(QStringLiteral("WarningMsgType"), 0);
    r.MsgAllOn = v.text(QStringLiteral("MsgAllOn"));
    r.MsgAllOff = v.text(QStringLiteral("MsgAllOff"));
    for (int n = 0; n < kDigitalPorts; ++n) {
        r.DiComment[n] = v.text(indexed("DiComment%d", n));
        r.DoComment[n] = v.text(indexed("DoComment%d", n));
        r.OnDiSoundId[n] = v.dword(indexed("OnDi%dSoundId", n), 0);
        r.OffDiSoundId[n] = v.dword(indexed("OffDi%dSoundId", n), 0);
        r.DoMsgOnOn[n] = v.text(indexed("DoMsgOn%dOn", n));
        r.DoMsgOnOff[n] = v.text(indexed("DoMsgOn%dOff", n));
        r.UseWarningMsgDo[n] = v.dword(indexed("UseWarningMsgDo%d", n), 0);
        r.UsePulseDo[n] = v.dword(indexed("UsePulseDo%d", n), 0);
        r.DurationDo[n] = static_cast<uint16_t>(v.dword(indexed("DurationDo%d", n), 0));
        r.SignalLevelDo[n] = static_cast<uint8_t>(v.dword(indexed("SignalLevelDo%d", n), 0));
        r.UseInputEmailNotification[n] = v.dword(indexed("UseInput%dEmailNotification", n), 0);
        r.UseOutputEmailNotification[n] = v.dword(indexed("UseOutput%dEmailNotification", n), 0);
        r.UseMControlDo[n] = v.text(indexed("UseMControlDo%d", n));
    }
}

} // namespace

CQUORVISData readController(const KeyValues& values) {
    CQUORVISData record;
    readIdentity(values, record);
    readWindowAndPolling(values, record);
    readAnalog(values, record);
    readGroupPlacement(values, record);
    readLogAndMail(values, record);
    readPorts(values, record);
    return record;
}

} // namespace iomira
