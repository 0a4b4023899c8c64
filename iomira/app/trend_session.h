#pragma once

#include "core/trend_history.h"
#include "core/trend_period.h"
#include "monitor/trend_scale.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

#include <functional>
#include <map>
#include <vector>

namespace iomira {

class CQUORVISData;
class SharedControllers;
class TrendRecorder;

// One drawn line of a trend.
struct TrendLine {
    TrendChannel channel;
    QString name;       // "Tank 2 Level [mA]"
    uint32_t color = 0; // 0x00RRGGBB
    bool steps = false;
    QList<QPointF> points; // x: milliseconds since the epoch
};

// The value a channel had at a moment, as the cursor reads it.
struct TrendReading {
    QString name;
    QString value; // with its unit; empty when the channel had no value then
};

// What a trend window shows, without the window: the chosen channels, the period, and for
// each channel its recent samples from the recorder with what the log files hold before the
// recorder began.
class TrendSession {
  public:
    // Reads a controller's values from the log files for a period.
    using HistoryReader =
        std::function<TrendHistory(const CQUORVISData& controller, int64_t from, int64_t to)>;

    TrendSession(SharedControllers& controllers, TrendRecorder& recorder, HistoryReader history);

    // Starts the channel's recording; false when the recorder takes no more channels.
    bool choose(const TrendChannel& channel);
    void drop(const TrendChannel& channel);
    bool chosen(const TrendChannel& channel) const;
    const std::vector<TrendChannel>& channels() const { return channels_; }

    void setPeriod(const TrendPeriod& period) { period_ = period; }
    const TrendPeriod& period() const { return period_; }
    // A live period moves on to the present.
    void follow();
    int64_t now() const;

    // The chosen channels' lines for the period, drawn `columns` pixels wide.
    std::vector<TrendLine> lines(int columns);
    // Each chosen channel's value at `seconds`: its last sample of the period until then.
    std::vector<TrendReading> readings(int64_t seconds);
    // Lines of the log files that could not be read for the channels shown.
    int skippedLines() const;
    // Every sample of the period as CSV: the time, then a column a channel, a row for each
    // moment any channel has a value; a channel without a value then has an empty cell.
    QByteArray csv();

  private:
    struct Loaded {
        int64_t from = 0;
        int64_t to = -1;
        TrendHistory history;
    };
    // A channel's samples in the period: from the log files, then from the recorder.
    struct Samples {
        std::vector<TimedSample> older;
        std::vector<TimedSample> recent;
    };
    const CQUORVISData* controller(const TrendChannel& channel) const;
    const SampleSeries* history(const CQUORVISData& c, const TrendChannel& channel, int64_t until);
    std::vector<TimedSample> samples(const CQUORVISData& c, const TrendChannel& channel,
                                     int columns);
    // "Tank 2 Level", with " [mA]" when `withUnit` and the channel has a unit.
    QString lineName(const CQUORVISData& c, const TrendChannel& channel, bool withUnit) const;

    SharedControllers& controllers_;
    TrendRecorder& recorder_;
    HistoryReader readHistory_;
    std::vector<TrendChannel> channels_;
    TrendPeriod period_;
    std::map<int, Loaded> loaded_; // by controller
};

} // namespace iomira
