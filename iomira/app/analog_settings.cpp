#include "app/analog_settings.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <algorithm>

namespace iomira {

bool isAnalogNumberText(const QString& text) {
    const QLatin1String allowed(kAnalogNumberCharacters);
    return std::all_of(text.begin(), text.end(), [&](QChar c) { return allowed.contains(c); });
}

QStringList analogUnitChoices(const QString& storedUnit) {
    QStringList units{QStringLiteral("℃"), QStringLiteral("℉"),  QStringLiteral("%"),
                      QStringLiteral("V"), QStringLiteral("mV"), QStringLiteral("A"),
                      QStringLiteral("mA")};
    if (!storedUnit.isEmpty() && !units.contains(storedUnit)) units << storedUnit;
    return units;
}

AnalogChannelTexts analogChannelTexts(const CQUORVISData& record, int channel) {
    return {record.AIName[channel], record.AIMin[channel], record.AIMax[channel],
            record.AIUnit[channel]};
}

void applyAnalogChannel(CQUORVISData& record, int channel, const AnalogChannelTexts& texts,
                        bool withUnit) {
    record.AIName[channel] = texts.name;
    record.AIMin[channel] = texts.min;
    record.AIMax[channel] = texts.max;
    if (withUnit) record.AIUnit[channel] = texts.unit;
}

QString rlx810Problem(const CQUORVISData& record) {
    const bool anyShown = std::any_of(record.AI.begin(), record.AI.end(), [](int v) { return v; });
    return anyShown ? QString() : loadString(TEXT_FINISH_ANALOG_SETUP);
}

} // namespace iomira
