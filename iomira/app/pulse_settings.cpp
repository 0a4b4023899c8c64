#include "app/pulse_settings.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <algorithm>

namespace iomira {

int pulseOutputCount(const QString& model) {
    if (model == QLatin1String("TKA-31 / TKA-21")) return 8;
    if (model == QLatin1String("TKA-35")) return 4;
    if (model == QLatin1String("TKA-33") || model == QLatin1String("TKB-11")) return 1;
    return 0;
}

PulseLevel pulseLevel(const CQUORVISData& record, int output) {
    if (!record.UsePulseDo[output]) return PulseLevel::Disable;
    return record.SignalLevelDo[output] == 0 ? PulseLevel::Low : PulseLevel::High;
}

int shownPulseLength(const CQUORVISData& record, int output) {
    return record.UsePulseDo[output] ? record.DurationDo[output] : kUnpulsedLengthMs;
}

QString pulseLineText(const CQUORVISData& record, int output) {
    QString state;
    switch (pulseLevel(record, output)) {
    case PulseLevel::Disable:
        state = loadString(TEXT_MAIL_DISABLE);
        break;
    case PulseLevel::Low:
        state = loadString(TEXT_PULSE_LOW_LINE);
        break;
    case PulseLevel::High:
        state = loadString(TEXT_PULSE_HIGH_LINE);
        break;
    }
    state.replace(QLatin1String("%d"), QString::number(record.DurationDo[output]));
    return QStringLiteral("DO%1-%2").arg(output).arg(state);
}

int pulseLengthFromText(const QString& text) {
    const qlonglong typed = text.trimmed().toLongLong();
    return static_cast<int>(std::clamp<qlonglong>(typed, kPulseMinMs, kPulseMaxMs));
}

void applyPulse(CQUORVISData& record, int output, PulseLevel level, const QString& lengthText) {
    if (level == PulseLevel::Disable) {
        record.UsePulseDo[output] = 0;
        return;
    }
    record.UsePulseDo[output] = 1;
    record.SignalLevelDo[output] = level == PulseLevel::Low ? 0 : kHighPulseLevel;
    record.DurationDo[output] = static_cast<uint16_t>(pulseLengthFromText(lengthText));
}

} // namespace iomira
