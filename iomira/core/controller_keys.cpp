#include "core/controller_keys.h"

#include "core/device_family.h"

namespace iomira {

namespace {

QString indexed(const char* format, int n) { return QString::asprintf(format, n); }

// Writes and reads go through one table-ordered walk so the two can never drift apart.
class ValueList {
public:
    void dword(const QString& name, int32_t value) {
        values.push_back(StoreValue::dwordValue(name, value));
    }
    void text(const QString& name, const QString& value) {
        values.push_back(StoreValue::textValue(name, value));
    }
    std::vector<StoreValue> values;
};

void writeIdentity(ValueList& out, const CQUORVISData& r) {
    out.dword(QStringLiteral("DeviceId"), r.DeviceId);
    out.dword(QStringLiteral("DeviceType"), r.DeviceType);
    out.text(QStringLiteral("DeviceComment"), r.DeviceComment);
    out.text(QStringLiteral("HostAddr"), r.HostAddr.left(kHostAddrMaxLength));
    out.dword(QStringLiteral("HostPort"), r.HostPort);
    out.dword(QStringLiteral("UnitId"), r.UnitId);
    out.dword(QStringLiteral("IsServer"), r.IsServer);
    out.dword(QStringLiteral("InputAddr"), r.InputAddr);
    if (usesDigitalPorts(r.DeviceType)) {
        out.dword(QStringLiteral("NumberOfPortInput"), r.NumberOfPortInput);
        out.dword(QStringLiteral("NumberOfPortOutput"), r.NumberOfPortOutput);
        out.dword(QStringLiteral("OutputAddr"), r.OutputAddr);
    }
    out.dword(QStringLiteral("ViewMode"), r.ViewMode);
}

void writeWindowAndPolling(ValueList& out, const CQUORVISData& r) {
    out.dword(QStringLiteral("LastPosX"), r.LastPosX);
    out.dword(QStringLiteral("LastPosY"), r.LastPosY);
    out.dword(QStringLiteral("LastPosCX"), r.LastPosCX);
    out.dword(QStringLiteral("LastPosCY"), r.LastPosCY);
    out.dword(QStringLiteral("LastOpened"), r.LastOpened);
    out.dword(QStringLiteral("Minimized"), r.Minimized);
    out.dword(QStringLiteral("AutomaticConnection"), r.AutomaticConnection);
    out.dword(QStringLiteral("PollingInput"), r.PollingInput);
    if (usesOutputPolling(r.DeviceType)) {
        out.dword(QStringLiteral("Polling"), r.Polling);
        out.dword(QStringLiteral("OutputPortControl"), r.OutputPortControl);
    }
    if (usesCounterFlags(r.DeviceType)) {
        for (int n = 0; n < kCounterInputs; ++n) {
            out.dword(indexed("Di%dState", n), r.DiState[n]);
            out.dword(indexed("Di%dCounter", n), r.DiCounter[n]);
        }
    }
}

void writeAnalog(ValueList& out, const CQUORVISData& r) {
    if (!usesAnalog(r.DeviceType)) return;
    for (int n = 0; n < kAnalogChannels; ++n) {
        out.dword(indexed("AI%d", n), r.AI[n]);
        out.text(indexed("AI%dName", n), r.AIName[n]);
        out.text(indexed("AI%dUnit", n), r.AIUnit[n]);
        out.text(indexed("AI%dMin", n), r.AIMin[n]);
        out.text(indexed("AI%dMax", n), r.AIMax[n]);
        out.dword(indexed("AI%dFgColor", n), static_cast<int32_t>(r.AIFgColor[n]));
        out.dword(indexed("AI%dBgColor", n), static_cast<int32_t>(r.AIBgColor[n]));
    }
    for (int n = 0; n < 3; ++n) out.dword(indexed("AIHeader%dWidth", n), r.AIHeaderWidth[n]);
}

void writeGroupPlacement(ValueList& out, const CQUORVISData& r) {
    out.dword(QStringLiteral("RootID"), r.RootID);
    out.dword(QStringLiteral("Index"), r.Index);
    out.dword(QStringLiteral("LastPosXMin"), r.LastPosXMin);
    out.dword(QStringLiteral("LastPosYMin"), r.LastPosYMin);
    out.dword(QStringLiteral("LastPosCXMin"), r.LastPosCXMin);
    out.dword(QStringLiteral("LastPosCYMin"), r.LastPosCYMin);
}

void writeNamesAndWarnings(ValueList& out, const CQUORVISData& r) {
    if (!usesDigitalPorts(r.DeviceType)) return;
    for (int n = 0; n < kDigitalPorts; ++n) {
        out.text(indexed("DiComment%d", n), r.DiComment[n]);
        out.text(indexed("DoComment%d", n), r.DoComment[n]);
    }
    out.dword(QStringLiteral("UseWarningMsg"), r.UseWarningMsg);
    out.dword(QStringLiteral("WarningMsgType"), r.WarningMsgType);
    out.text(QStringLiteral("MsgAllOn"), r.MsgAllOn);
    out.text(QStringLiteral("MsgAllOff"), r.MsgAllOff);
}

void writeLogAndMail(ValueList& out, const CQUORVISData& r) {
    out.dword(QStringLiteral("UseLog"), r.UseLog);
    out.dword(QStringLiteral("UseEmailNotification"), r.UseEmailNotification);
    out.text(QStringLiteral("MailTo"), r.MailTo);
    out.dword(QStringLiteral("MailAccountID"), r.MailAccountID);
    out.text(QStringLiteral("MailSubject"), r.MailSubject);
    out.text(QStringLiteral("MailContent"), r.MailContent);
}

void writePorts(ValueList& out, const CQUORVISData& r) {
    if (!usesDigitalPorts(r.DeviceType)) return;
    for (int n = 0; n < kDigitalPorts; ++n) {
        out.dword(indexed("OnDi%dSoundId", n), r.OnDiSoundId[n]);
        out.dword(indexed("OffDi%dSoundId", n), r.OffDiSoundId[n]);
        out.text(indexed("DoMsgOn%dOn", n), r.DoMsgOnOn[n]);
        out.text(indexed("DoMsgOn%dOff", n), r.DoMsgOnOff[n]);
        out.dword(indexed("UseWarningMsgDo%d", n), r.UseWarningMsgDo[n]);
        out.dword(indexed("UsePulseDo%d", n), r.UsePulseDo[n]);
        out.dword(indexed("DurationDo%d", n), r.DurationDo[n]);
        out.dword(indexed("SignalLevelDo%d", n), r.SignalLevelDo[n]);
        out.dword(indexed("UseInput%dEmailNotification", n), r.UseInputEmailNotification[n]);
        out.dword(indexed("UseOutput%dEmailNotification", n), r.UseOutputEmailNotification[n]);
        out.text(indexed("UseMControlDo%d", n), r.UseMControlDo[n]);
    }
}

} // namespace

QString controllerKeyName(int deviceId) { return QStringLiteral("ID_%1").arg(deviceId); }

std::vector<StoreValue> controllerValues(const CQUORVISData& record) {
    ValueList out;
    writeIdentity(out, record);
    writeWindowAndPolling(out, record);
    writeAnalog(out, record);
    writeGroupPlacement(out, record);
    writeNamesAndWarnings(out, record);
    writeLogAndMail(out, record);
    writePorts(out, record);
    return std::move(out.values);
}

bool saveController(Store& store, const CQUORVISData& record) {
    return store.writeValues(controllerKeyName(record.DeviceId), controllerValues(record));
}

bool deleteController(Store& store, int deviceId) {
    return store.deleteKey(controllerKeyName(deviceId));
}

} // namespace iomira
