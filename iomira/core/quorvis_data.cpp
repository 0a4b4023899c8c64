#include "core/quorvis_data.h"

namespace iomira {

void CQUORVISData::setHostAddr(const QString& host) {
    HostAddr = host.left(kHostAddrMaxLength);
    if (HostAddr.size() < host.size() && HostAddr.back().isHighSurrogate()) HostAddr.chop(1);
}

CQUORVISData::CQUORVISData() {
    for (int n = 0; n < kAnalogChannels; ++n) {
        AI[n] = 1;
        AIName[n] = QStringLiteral("AI%1").arg(n);
        AIUnit[n] = QStringLiteral("V");
        AIMin[n] = QStringLiteral("0");
        AIMax[n] = QStringLiteral("5");
        AIBgColor[n] = kDefaultAnalogBackground;
        AIFgColor[n] = kDefaultAnalogForeground;
    }
    for (int n = 0; n < kDigitalPorts; ++n) {
        DiComment[n] = QStringLiteral("DI%1").arg(n);
        DoComment[n] = QStringLiteral("DO%1").arg(n);
    }
    DiState.fill(1);
    DiCounter.fill(1);
}

void CQUORVISData::clearPlacementAndRuntime() {
    LastPosX = LastPosY = LastPosCX = LastPosCY = 0;
    LastOpened = 0;
    Minimized = 0;
    LastPosXMin = LastPosYMin = LastPosCXMin = LastPosCYMin = 0;
    InputsValid = OutputsValid = 0;
    InputImage.fill(0);
    OutputImage.fill(0);
    ReconnectWanted = 0;
    LastFailureTime = 0;
    NotResponding = false;
    LastAnswerMs = AnsweredSteadyMs = InputsReadMs = OutputsReadMs = 0;
    LastInputs = LastOutputs = 0;
}

void CQUORVISData::Copy(CQUORVISData& destination, const CQUORVISData& source) {
    if (&destination == &source) return;
    CQUORVISData kept = destination;
    destination = source;
    destination.LastPosX = kept.LastPosX;
    destination.LastPosY = kept.LastPosY;
    destination.LastPosCX = kept.LastPosCX;
    destination.LastPosCY = kept.LastPosCY;
    destination.LastOpened = kept.LastOpened;
    destination.Minimized = kept.Minimized;
    destination.LastPosXMin = kept.LastPosXMin;
    destination.LastPosYMin = kept.LastPosYMin;
    destination.LastPosCXMin = kept.LastPosCXMin;
    destination.LastPosCYMin = kept.LastPosCYMin;
    destination.InputsValid = kept.InputsValid;
    destination.OutputsValid = kept.OutputsValid;
    destination.InputImage = kept.InputImage;
    destination.OutputImage = kept.OutputImage;
    destination.ReconnectWanted = kept.ReconnectWanted;
    destination.LastFailureTime = kept.LastFailureTime;
}

bool CQUORVISData::Equals(const CQUORVISData& a, const CQUORVISData& b) {
    CQUORVISData left = a;
    CQUORVISData right = b;
    left.clearPlacementAndRuntime();
    right.clearPlacementAndRuntime();
    // The stored host field holds 127 characters; anything beyond never reaches the store.
    left.HostAddr.truncate(kHostAddrMaxLength);
    right.HostAddr.truncate(kHostAddrMaxLength);
    return left == right;
}

} // namespace iomira
