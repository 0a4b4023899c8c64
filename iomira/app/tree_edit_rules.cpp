#include "app/tree_edit_rules.h"

#include "app/tree_texts.h"
#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"

namespace iomira {

namespace {

constexpr int kMaxPort = 65535;
constexpr int kMaxUnitId = 255;
constexpr int kMaxAddress = 65535;

EditOutcome refused(QString error) {
    EditOutcome outcome;
    outcome.error = std::move(error);
    return outcome;
}

EditOutcome accepted() {
    EditOutcome outcome;
    outcome.accepted = true;
    return outcome;
}

// Numbers outside what the field holds would be stored as nonsense or wrap around.
bool parseNumber(const QString& text, int highest, int& out) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || !onlyDigits(text) || value < 0 || value > highest) return false;
    out = value;
    return true;
}

QString rangeText(int highest) {
    QString text = loadString(TEXT_NUMBER_RANGE);
    for (int bound : {0, highest}) {
        const qsizetype at = text.indexOf(QLatin1String("%d"));
        if (at >= 0) text.replace(at, 2, QString::number(bound));
    }
    return text;
}

int highestOf(int kind) {
    if (kind == INFO_PORT) return kMaxPort;
    if (kind == INFO_UNIT_ID) return kMaxUnitId;
    return kMaxAddress;
}

EditOutcome applyMode(CQUORVISData& c, const QString& text) {
    EditOutcome outcome = accepted();
    if (text == loadString(TEXT_TCP_CLIENT) && c.IsServer != 0) {
        c.IsServer = 0;
        outcome.hostLineAdded = true;
    } else if (text == loadString(TEXT_TCP_SERVER) && c.IsServer == 0) {
        c.IsServer = 1;
        outcome.hostLineRemoved = true;
    }
    return outcome;
}

EditOutcome applyNumber(CQUORVISData& c, int kind, const QString& text) {
    int value = 0;
    if (!parseNumber(text, highestOf(kind), value)) return refused(rangeText(highestOf(kind)));
    if (kind == INFO_PORT) c.HostPort = value;
    if (kind == INFO_UNIT_ID && c.DeviceType == FAMILY_GENERIC) c.UnitId = value;
    if (kind == INFO_INPUT_ADDR) c.InputAddr = value;
    if (kind == INFO_OUTPUT_ADDR) c.OutputAddr = value;
    return accepted();
}

EditOutcome applySwitch(CQUORVISData& c, int kind, const QString& text) {
    const int value = text == loadString(TEXT_ON) ? 1 : 0;
    if (kind == INFO_AUTO_CONNECT) c.AutomaticConnection = value;
    if (kind == INFO_PROHIBIT_OUTPUT) c.OutputPortControl = value;
    if (kind == INFO_POLL_OUTPUTS) c.Polling = value;
    if (kind == INFO_POLL_INPUTS) c.PollingInput = value;
    return accepted();
}

} // namespace

EditKind infoEditKind(int kind) {
    switch (kind) {
    case INFO_MODE:
    case INFO_AUTO_CONNECT:
    case INFO_PROHIBIT_OUTPUT:
    case INFO_POLL_OUTPUTS:
    case INFO_POLL_INPUTS:
        return EditKind::Choice;
    case INFO_HOST:
        return EditKind::Text;
    case INFO_PORT:
    case INFO_UNIT_ID:
    case INFO_INPUT_ADDR:
    case INFO_OUTPUT_ADDR:
        return EditKind::Digits;
    default:
        return EditKind::None;
    }
}

bool needsClosedConnection(int kind) {
    return kind >= INFO_MODE && kind <= INFO_OUTPUT_ADDR;
}

bool connectionAllowsEdit(int state) {
    return state == TCP_CLOSED || state == TCP_ERROR;
}

QStringList infoChoices(int kind) {
    if (kind == INFO_MODE) return {loadString(TEXT_TCP_SERVER), loadString(TEXT_TCP_CLIENT)};
    return {loadString(TEXT_ON), loadString(TEXT_OFF)};
}

int currentChoice(const CQUORVISData& c, int kind) {
    switch (kind) {
    case INFO_MODE:
        return c.IsServer != 0 ? 0 : 1;
    case INFO_AUTO_CONNECT:
        return c.AutomaticConnection == 1 ? 0 : 1;
    case INFO_PROHIBIT_OUTPUT:
        return c.OutputPortControl == 1 ? 0 : 1;
    case INFO_POLL_OUTPUTS:
        return c.Polling == 1 ? 0 : 1;
    case INFO_POLL_INPUTS:
        return c.PollingInput == 1 ? 0 : 1;
    default:
        return -1;
    }
}

bool onlyDigits(const QString& text) {
    for (const QChar ch : text) {
        if (ch < u'0' || ch > u'9') return false;
    }
    return true;
}

EditOutcome applyInfoEdit(CQUORVISData& c, int kind, const QString& text) {
    switch (infoEditKind(kind)) {
    case EditKind::Choice:
        return kind == INFO_MODE ? applyMode(c, text) : applySwitch(c, kind, text);
    case EditKind::Text: {
        const QString host = text.trimmed();
        if (host.isEmpty()) return refused(loadString(TEXT_ENTER_ADDRESS));
        c.setHostAddr(host);
        return accepted();
    }
    case EditKind::Digits:
        return applyNumber(c, kind, text);
    case EditKind::None:
        break;
    }
    return refused({});
}

EditOutcome applyDescriptionEdit(CQUORVISData& c, const QString& text) {
    if (text.isEmpty()) return refused(loadString(TEXT_ENTER_DESCRIPTION));
    c.DeviceComment = text;
    return accepted();
}

EditOutcome checkGroupName(const QString& text) {
    if (text.isEmpty()) return refused(loadString(TEXT_ENTER_GROUP_NAME));
    return accepted();
}

} // namespace iomira
