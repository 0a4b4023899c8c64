#include "app/tree_texts.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"

namespace iomira {

namespace {

const QString kSeparator = QStringLiteral(" : ");

QString onOff(int value) {
    return loadString(value == 1 ? TEXT_ON : TEXT_OFF);
}

QString modeText(int isServer) {
    if (isServer == 1) return loadString(TEXT_TCP_SERVER);
    if (isServer == 2) return loadString(TEXT_TCP_SERVER_IPV6);
    return loadString(TEXT_TCP_CLIENT);
}

} // namespace

bool showsInfoLine(const CQUORVISData& c, int kind) {
    const int t = c.DeviceType;
    switch (kind) {
    case INFO_HOST:
        return c.IsServer == 0;
    case INFO_UNIT_ID:
    case INFO_INPUT_ADDR:
    case INFO_OUTPUT_ADDR:
        return t == FAMILY_GENERIC;
    case INFO_PROHIBIT_OUTPUT:
    case INFO_POLL_OUTPUTS:
        return t == FAMILY_GENERIC || t == FAMILY_RLX830 || t == FAMILY_RLX850;
    case INFO_POLL_INPUTS:
        return t == FAMILY_GENERIC || t == FAMILY_RLX820 || t == FAMILY_RLX850;
    default:
        return kind >= INFO_MODE && kind <= INFO_AUTO_CONNECT;
    }
}

QString infoLineLabel(int kind) {
    switch (kind) {
    case INFO_HOST:
        return loadString(TEXT_HOST);
    case INFO_PORT:
        return loadString(TEXT_HOST_PORT);
    case INFO_PRODUCT:
        return loadString(TEXT_PRODUCT);
    case INFO_UNIT_ID:
        return loadString(TEXT_UNIT_ID);
    case INFO_INPUT_ADDR:
        return loadString(TEXT_INPUT_BASE);
    case INFO_OUTPUT_ADDR:
        return loadString(TEXT_OUTPUT_BASE);
    case INFO_AUTO_CONNECT:
        return loadString(TEXT_AUTO_CONNECT);
    case INFO_PROHIBIT_OUTPUT:
        return loadString(TEXT_PROHIBIT_OUTPUT);
    case INFO_POLL_OUTPUTS:
        return loadString(TEXT_POLL_OUTPUTS);
    case INFO_POLL_INPUTS:
        return loadString(TEXT_POLL_INPUTS);
    default:
        return {};
    }
}

QString infoLineValue(const CQUORVISData& c, int kind) {
    switch (kind) {
    case INFO_MODE:
        return modeText(c.IsServer);
    case INFO_HOST:
        return c.HostAddr;
    case INFO_PORT:
        return QString::number(c.HostPort);
    case INFO_PRODUCT:
        return modelText(c);
    case INFO_UNIT_ID:
        return QString::number(c.UnitId);
    case INFO_INPUT_ADDR:
        return QString::number(c.InputAddr);
    case INFO_OUTPUT_ADDR:
        return QString::number(c.OutputAddr);
    case INFO_AUTO_CONNECT:
        return onOff(c.AutomaticConnection);
    case INFO_PROHIBIT_OUTPUT:
        return onOff(c.OutputPortControl);
    case INFO_POLL_OUTPUTS:
        return onOff(c.Polling);
    case INFO_POLL_INPUTS:
        return onOff(c.PollingInput);
    default:
        return {};
    }
}

QString infoLineText(const CQUORVISData& c, int kind) {
    if (kind == INFO_MODE) return modeText(c.IsServer);
    const QString value = infoLineValue(c, kind);
    // A generic controller whose port counts match no product shows the bare label.
    if (kind == INFO_PRODUCT && value.isEmpty()) return infoLineLabel(kind);
    return infoLineLabel(kind) + kSeparator + value;
}

std::vector<InfoLine> infoLines(const CQUORVISData& c) {
    std::vector<InfoLine> lines;
    for (int kind = INFO_MODE; kind <= INFO_POLL_INPUTS; ++kind) {
        if (showsInfoLine(c, kind)) lines.push_back({kind, infoLineText(c, kind)});
    }
    return lines;
}

int controllerIcon(int state, int automaticConnection, bool notifiedError, bool notResponding) {
    if (notifiedError) return ICON_ERROR;
    if (notResponding && state == TCP_ESTABLISHED) return ICON_NOT_RESPONDING;
    switch (state) {
    case TCP_CLOSED:
        return automaticConnection == 1 ? ICON_CLOSED_AUTOMATIC : ICON_CLOSED_MANUAL;
    case TCP_LISTEN:
    case TCP_CONNECTING:
        return ICON_CONNECTING;
    case TCP_ESTABLISHED:
        return ICON_CONNECTED;
    default:
        return ICON_ERROR;
    }
}

QString mainWindowTitle(const QString& shownGroupName, bool groupShown) {
    const QString title = loadString(TEXT_APP_TITLE);
    return groupShown ? title + QStringLiteral(" - ") + shownGroupName : title;
}

} // namespace iomira
