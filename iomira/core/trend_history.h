#pragma once

#include "core/sample_ring.h"
#include "core/trend_channel.h"

#include <QByteArrayView>
#include <QString>

#include <map>

namespace iomira {

// The values of one controller that the log files hold for a period, by channel, and how many
// lines of those files could not be read.
struct TrendHistory {
    std::map<TrendChannel, SampleSeries> series;
    int skippedLines = 0;
};

// Reads the value entries of the controller the log names `deviceComment` (analog values,
// the temperature, counters, input and output port states) from `from` to `to`, from the
// day files of the log folder that cover the period. Channels carry `deviceId`. A damaged or
// cut line, or one whose numbers do not read, is skipped and counted.
TrendHistory readTrendHistory(const QString& folder, const QString& deviceComment, int deviceId,
                              int64_t from, int64_t to);

// One file's bytes, as readTrendHistory takes them: lines of other controllers and other
// entries are passed over.
void addTrendHistory(TrendHistory& history, QByteArrayView bytes, QByteArrayView deviceComment,
                     int deviceId, int64_t from, int64_t to);

} // namespace iomira
