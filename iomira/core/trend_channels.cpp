#include "core/trend_channels.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <algorithm>
#include <array>

namespace iomira {

namespace {

void addRange(std::vector<TrendChannel>& out, int deviceId, TrendKind kind, int count) {
    for (int i = 0; i < count; ++i)
        out.push_back({deviceId, kind, i});
}

bool hasDigitalInputs(int deviceType) {
    return deviceType == FAMILY_GENERIC || deviceType == FAMILY_RLX820 ||
           deviceType == FAMILY_RLX850;
}

int shortNameId(TrendKind kind) {
    switch (kind) {
    case TrendKind::Analog:
        return TEXT_TREND_ANALOG;
    case TrendKind::Temperature:
        return TEXT_TREND_TEMPERATURE;
    case TrendKind::Counter:
        return TEXT_TREND_COUNTER;
    case TrendKind::DigitalInput:
        return TEXT_TREND_INPUT;
    case TrendKind::DigitalOutput:
        break;
    }
    return TEXT_TREND_OUTPUT;
}

template <size_t N> QString nameAt(const std::array<QString, N>& names, int index) {
    return index >= 0 && index < static_cast<int>(N) ? names[index] : QString();
}

QString givenName(const CQUORVISData& c, const TrendChannel& ch) {
    switch (ch.kind) {
    case TrendKind::Analog:
    case TrendKind::Temperature:
        return nameAt(c.AIName, ch.index);
    case TrendKind::Counter:
    case TrendKind::DigitalInput:
        return nameAt(c.DiComment, ch.index);
    case TrendKind::DigitalOutput:
        break;
    }
    return nameAt(c.DoComment, ch.index);
}

// Told apart on a white chart and by most colour-blind eyes.
constexpr std::array<uint32_t, 10> kPalette = {0x1F77B4, 0xD62728, 0x2CA02C, 0xFF7F0E, 0x9467BD,
                                               0x8C564B, 0xE377C2, 0x17BECF, 0xBCBD22, 0x7F7F7F};

uint32_t bgrToRgb(uint32_t bgr) {
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

} // namespace

std::vector<TrendChannel> trendChannelsOf(const CQUORVISData& c) {
    std::vector<TrendChannel> out;
    const int id = c.DeviceId, t = c.DeviceType;
    if (t == FAMILY_RLX840)
        out.push_back({id, TrendKind::Temperature, 0});
    else if (usesAnalog(t))
        addRange(out, id, TrendKind::Analog, kAnalogChannels);
    if (t == FAMILY_RLX820 || t == FAMILY_RLX850) {
        for (int n = 0; n < kCounterInputs; ++n)
            if (c.DiCounter[n] == 1) out.push_back({id, TrendKind::Counter, n});
    }
    if (hasDigitalInputs(t))
        addRange(out, id, TrendKind::DigitalInput, std::min(c.NumberOfPortInput, kDigitalPorts));
    addRange(out, id, TrendKind::DigitalOutput, std::min(c.NumberOfPortOutput, kDigitalPorts));
    return out;
}

std::vector<TrendChannel> firstTrendChannelsOf(const CQUORVISData& c) {
    std::vector<TrendChannel> all = trendChannelsOf(c);
    std::vector<TrendChannel> values;
    for (const TrendChannel& ch : all)
        if (ch.kind == TrendKind::Analog || ch.kind == TrendKind::Temperature) values.push_back(ch);
    return values.empty() ? all : values;
}

QString trendChannelName(const CQUORVISData& c, const TrendChannel& ch) {
    QString name = loadString(shortNameId(ch.kind));
    if (ch.kind != TrendKind::Temperature) name = name.arg(ch.index + 1);
    const QString given = givenName(c, ch).trimmed();
    if (given.isEmpty()) return name;
    return ch.kind == TrendKind::Counter ? name + QLatin1Char(' ') + given : given;
}

uint32_t trendColor(const CQUORVISData& c, const TrendChannel& ch, int ordinal,
                    const std::vector<uint32_t>& taken) {
    const auto free = [&](uint32_t colour) {
        return std::find(taken.begin(), taken.end(), colour) == taken.end();
    };
    const bool analog = ch.kind == TrendKind::Analog || ch.kind == TrendKind::Temperature;
    if (analog && ch.index >= 0 && ch.index < kAnalogChannels &&
        c.AIFgColor[ch.index] != kDefaultAnalogForeground && free(bgrToRgb(c.AIFgColor[ch.index])))
        return bgrToRgb(c.AIFgColor[ch.index]);
    const size_t first = static_cast<size_t>(std::max(ordinal, 0));
    for (size_t i = 0; i < kPalette.size(); ++i)
        if (free(kPalette[(first + i) % kPalette.size()]))
            return kPalette[(first + i) % kPalette.size()];
    return kPalette[first % kPalette.size()];
}

} // namespace iomira
