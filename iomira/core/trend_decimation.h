#pragma once

#include "core/sample_ring.h"

#include <vector>

namespace iomira {

// How raw values compare: counters count unsigned to 2^32, the other values are signed.
enum class RawOrder { Signed, Unsigned };

// What is drawn of the samples from `from` to `to` in `columns` pixel columns: per column the
// lowest and the highest sample in the order they came, so a one-second spike stays visible.
// Fewer samples than two a column are all kept.
std::vector<TimedSample> decimate(const SampleView& view, int64_t from, int64_t to, int columns,
                                  RawOrder order);

} // namespace iomira
