#include "core/device_family.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <array>

namespace iomira {

namespace {

constexpr std::array<ProductChoice, 9> kProducts{{
    {"TKA-31 / TKA-21", FAMILY_GENERIC, 8, 8},
    {"TKA-35", FAMILY_GENERIC, 4, 4},
    {"TKA-33", FAMILY_GENERIC, 2, 1},
    {"TKB-11", FAMILY_GENERIC, 1, 1},
    {"RLX-810", FAMILY_RLX810, 0, 0},
    {"RLX-820", FAMILY_RLX820, 4, 0},
    {"RLX-830", FAMILY_RLX830, 0, 2},
    {"RLX-850", FAMILY_RLX850, 4, 4},
    {"RLX-840", FAMILY_RLX840, 0, 0},
}};

QString genericModel(int inputs, int outputs) {
    if (inputs == 8 && outputs == 8) return QStringLiteral("TKA-31 / TKA-21");
    if (inputs == 1 && outputs == 1) return QStringLiteral("TKB-11");
    if (inputs == 2 && outputs == 1) return QStringLiteral("TKA-33");
    if (inputs == 4 && outputs == 4) return QStringLiteral("TKA-35");
    return {};
}

} // namespace

bool usesDigitalPorts(int t) {
    return t == FAMILY_GENERIC || t == FAMILY_RLX820 || t == FAMILY_RLX830 || t == FAMILY_RLX850;
}
bool usesOutputPolling(int t) {
    return t == FAMILY_GENERIC || t == FAMILY_RLX830;
}
bool usesCounterFlags(int t) {
    return t == FAMILY_RLX820 || t == FAMILY_RLX850;
}
bool usesAnalog(int t) {
    return t == FAMILY_RLX810 || t == FAMILY_RLX850 || t == FAMILY_RLX840;
}
bool isKnownFamily(int t) {
    return t >= FAMILY_GENERIC && t <= FAMILY_RLX840;
}

QString modelText(int deviceType, int inputs, int outputs) {
    switch (deviceType) {
    case FAMILY_GENERIC:
        return genericModel(inputs, outputs);
    case FAMILY_RLX810:
        return QStringLiteral("RLX-810");
    case FAMILY_RLX820:
        return QStringLiteral("RLX-820");
    case FAMILY_RLX830:
        return QStringLiteral("RLX-830");
    case FAMILY_RLX850:
        return QStringLiteral("RLX-850");
    case FAMILY_RLX840:
        return QStringLiteral("RLX-840");
    default:
        return QStringLiteral("UNKNOWN");
    }
}

QString modelText(const CQUORVISData& record) {
    return modelText(record.DeviceType, record.NumberOfPortInput, record.NumberOfPortOutput);
}

std::span<const ProductChoice> productChoices() {
    return kProducts;
}

void applyProductChoice(CQUORVISData& record, const ProductChoice& choice) {
    record.DeviceType = choice.deviceType;
    record.NumberOfPortInput = choice.inputs;
    record.NumberOfPortOutput = choice.outputs;
    if (choice.deviceType != FAMILY_GENERIC) record.UnitId = kRlxUnitId;
    if (choice.deviceType == FAMILY_RLX820) record.OutputAddr = kRlx820OutputAddr;
    if (choice.deviceType == FAMILY_RLX830) record.ViewMode = kRlx830ViewMode;
}

void applyTemperatureChannel(CQUORVISData& record) {
    record.AIName[0] = loadString(TEXT_TEMPERATURE);
    record.AIMin[0] = QStringLiteral("-40");
    record.AIMax[0] = QStringLiteral("85");
}

namespace {

// Model names that the product list offers under another label.
QString productLabel(const QString& model) {
    if (model == QLatin1String("TKA-31") || model == QLatin1String("TKA-21") ||
        model == QLatin1String("TKA-31P"))
        return QStringLiteral("TKA-31 / TKA-21");
    QString label = model;
    if (label.endsWith(QLatin1Char('P'))) label.chop(1);
    return label;
}

} // namespace

const ProductChoice* productForModel(const QString& model) {
    const QString label = productLabel(model);
    for (const ProductChoice& choice : productChoices()) {
        if (label == QLatin1String(choice.name)) return &choice;
    }
    return nullptr;
}

CQUORVISData recordForModel(const QString& model) {
    CQUORVISData record;
    const ProductChoice* choice = productForModel(model);
    if (!choice) {
        record.DeviceType = -1;
        return record;
    }
    applyProductChoice(record, *choice);
    if (record.DeviceType == FAMILY_GENERIC) record.UnitId = 1;
    if (record.DeviceType == FAMILY_RLX840) applyTemperatureChannel(record);
    return record;
}

} // namespace iomira
