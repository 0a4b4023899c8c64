#include "core/trend_decimation.h"

#include <algorithm>

namespace iomira {

namespace {

int64_t key(int32_t raw, RawOrder order) {
    return order == RawOrder::Unsigned ? static_cast<int64_t>(static_cast<uint32_t>(raw)) : raw;
}

// The extremes of one column, by index into the view.
struct Column {
    int64_t number = -1;
    size_t low = 0;
    size_t high = 0;
};

void emit(const SampleView& view, const Column& column, std::vector<TimedSample>& out) {
    if (column.number < 0) return;
    const size_t first = std::min(column.low, column.high);
    const size_t second = std::max(column.low, column.high);
    out.push_back(view.at(first));
    if (second != first) out.push_back(view.at(second));
}

} // namespace

std::vector<TimedSample> decimate(const SampleView& all, int64_t from, int64_t to, int columns,
                                  RawOrder order) {
    const SampleView view = all.between(from, to);
    std::vector<TimedSample> out;
    const size_t width = static_cast<size_t>(std::max(columns, 1));
    if (view.size() <= 2 * width) {
        out.reserve(view.size());
        for (size_t i = 0; i < view.size(); ++i)
            out.push_back(view.at(i));
        return out;
    }
    out.reserve(2 * width);
    const int64_t span = to - from + 1;
    Column column;
    for (size_t i = 0; i < view.size(); ++i) {
        const int64_t number = (view.seconds(i) - from) * static_cast<int64_t>(width) / span;
        if (number != column.number) {
            emit(view, column, out);
            column = {number, i, i};
            continue;
        }
        const int64_t value = key(view[i].raw, order);
        if (value < key(view[column.low].raw, order)) column.low = i;
        if (value > key(view[column.high].raw, order)) column.high = i;
    }
    emit(view, column, out);
    return out;
}

} // namespace iomira
