#include "app/trend_session.h"

#include "core/csv_writer.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/trend_channels.h"
#include "core/trend_decimation.h"
#include "monitor/shared_controllers.h"
#include "monitor/trend_points.h"
#include "monitor/trend_recorder.h"

#include <QDateTime>

#include <algorithm>
#include <limits>
#include <optional>

namespace iomira {

namespace {

// As many columns as there could be samples: nothing is left out.
constexpr int kEverySample = std::numeric_limits<int>::max();

std::optional<TimedSample> lastOf(const SampleView& view) {
    if (view.empty()) return std::nullopt;
    return view.at(view.size() - 1);
}

QString csvTime(int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// The earliest time any column still has a sample at; none when all are used up.
std::optional<int64_t> nextTime(const std::vector<std::vector<TimedSample>>& columns,
                                const std::vector<size_t>& next) {
    std::optional<int64_t> t;
    for (size_t i = 0; i < columns.size(); ++i)
        if (next[i] < columns[i].size() && (!t || columns[i][next[i]].seconds < *t))
            t = columns[i][next[i]].seconds;
    return t;
}

} // namespace

TrendSession::TrendSession(SharedControllers& controllers, TrendRecorder& recorder,
                           HistoryReader history)
    : controllers_(controllers), recorder_(recorder), readHistory_(std::move(history)),
      period_(lastPeriod(recorder.now(), 600)) {}

bool TrendSession::choose(const TrendChannel& channel) {
    if (chosen(channel)) return true;
    if (!recorder_.watch(channel)) return false;
    channels_.push_back(channel);
    return true;
}

void TrendSession::drop(const TrendChannel& channel) {
    std::erase(channels_, channel);
}

bool TrendSession::chosen(const TrendChannel& channel) const {
    return std::find(channels_.begin(), channels_.end(), channel) != channels_.end();
}

void TrendSession::follow() {
    period_ = followed(period_, now());
}

int64_t TrendSession::now() const {
    return recorder_.now();
}

const CQUORVISData* TrendSession::controller(const TrendChannel& channel) const {
    return controllers_.table().find(channel.deviceId);
}

// The log files are read once for a controller and a period; a live period reads them up to
// the present, so that following it needs no second read.
const SampleSeries* TrendSession::history(const CQUORVISData& c, const TrendChannel& channel,
                                          int64_t until) {
    Loaded& loaded = loaded_[c.DeviceId];
    if (loaded.from > period_.from || loaded.to < until) {
        const int64_t to = period_.live ? std::max(until, now()) : until;
        loaded = {period_.from, to,
                  readHistory_ ? readHistory_(c, period_.from, to) : TrendHistory{}};
    }
    const auto found = loaded.history.series.find(channel);
    return found == loaded.history.series.end() ? nullptr : &found->second;
}

std::vector<TimedSample> TrendSession::samples(const CQUORVISData& c, const TrendChannel& channel,
                                               int columns) {
    const RawOrder order = trendScale(c, channel.kind, channel.index).order();
    const int64_t recentFrom = recorder_.completeFrom(channel);
    std::vector<TimedSample> out;
    const auto take = [&](const SampleView& view, int64_t from, int64_t to) {
        if (to < from) return;
        const std::vector<TimedSample> part = decimate(view, from, to, columns, order);
        out.insert(out.end(), part.begin(), part.end());
    };
    if (period_.from < recentFrom) {
        const int64_t until = std::min(period_.to, recentFrom - 1);
        if (const SampleSeries* older = history(c, channel, until))
            take(older->view(), period_.from, until);
    }
    take(recorder_.samples(channel), std::max(period_.from, recentFrom), period_.to);
    return out;
}

QString TrendSession::lineName(const CQUORVISData& c, const TrendChannel& channel,
                               bool withUnit) const {
    const QString name = c.DeviceComment + QLatin1Char(' ') + trendChannelName(c, channel);
    const QString unit = trendScale(c, channel.kind, channel.index).unit.trimmed();
    return withUnit && !unit.isEmpty() ? name + QStringLiteral(" [") + unit + QLatin1Char(']')
                                       : name;
}

std::vector<TrendLine> TrendSession::lines(int columns) {
    std::vector<TrendLine> out;
    std::vector<uint32_t> colours;
    for (size_t i = 0; i < channels_.size(); ++i) {
        const TrendChannel& channel = channels_[i];
        const CQUORVISData* c = controller(channel);
        if (!c) continue;
        const TrendScale scale = trendScale(*c, channel.kind, channel.index);
        colours.push_back(trendColor(*c, channel, static_cast<int>(i), colours));
        out.push_back({channel, lineName(*c, channel, true), colours.back(),
                       isDigitalTrend(channel.kind),
                       trendPoints(samples(*c, channel, columns), scale)});
    }
    return out;
}

std::vector<TrendReading> TrendSession::readings(int64_t seconds) {
    std::vector<TrendReading> out;
    const int64_t until = std::min(seconds, period_.to);
    for (const TrendChannel& channel : channels_) {
        const CQUORVISData* c = controller(channel);
        if (!c) continue;
        const int64_t recentFrom = recorder_.completeFrom(channel);
        std::optional<TimedSample> found =
            lastOf(recorder_.samples(channel).between(std::max(period_.from, recentFrom), until));
        if (!found && period_.from < recentFrom) {
            if (const SampleSeries* older =
                    history(*c, channel, std::min(period_.to, recentFrom - 1)))
                found =
                    lastOf(older->view().between(period_.from, std::min(until, recentFrom - 1)));
        }
        const TrendScale scale = trendScale(*c, channel.kind, channel.index);
        out.push_back({lineName(*c, channel, false),
                       found ? scale.text(found->raw) + scale.unit : QString()});
    }
    return out;
}

QByteArray TrendSession::csv() {
    QStringList header{loadString(TEXT_TREND_TIME)};
    std::vector<std::vector<TimedSample>> columns;
    std::vector<TrendScale> scales;
    for (const TrendChannel& channel : channels_) {
        const CQUORVISData* c = controller(channel);
        if (!c) continue;
        header << lineName(*c, channel, true);
        columns.push_back(samples(*c, channel, kEverySample));
        scales.push_back(trendScale(*c, channel.kind, channel.index));
    }
    QByteArray out = csvRow(header);
    std::vector<size_t> next(columns.size(), 0);
    while (const std::optional<int64_t> t = nextTime(columns, next)) {
        QStringList row{csvTime(*t)};
        for (size_t i = 0; i < columns.size(); ++i) {
            const bool here = next[i] < columns[i].size() && columns[i][next[i]].seconds == *t;
            row << (here ? scales[i].text(columns[i][next[i]++].raw) : QString());
        }
        out += csvRow(row);
    }
    return out;
}

int TrendSession::skippedLines() const {
    int skipped = 0;
    for (const auto& [deviceId, loaded] : loaded_) {
        const bool shown =
            std::any_of(channels_.begin(), channels_.end(),
                        [id = deviceId](const TrendChannel& ch) { return ch.deviceId == id; });
        if (shown) skipped += loaded.history.skippedLines;
    }
    return skipped;
}

} // namespace iomira
