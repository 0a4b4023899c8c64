#pragma once

#include "core/log_line.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <vector>

namespace iomira {

class LogDayIndex;

// One bit per LogLineCategory.
constexpr unsigned logCategoryBit(LogLineCategory category) {
    return 1u << static_cast<unsigned>(category);
}
inline constexpr unsigned kAllLogCategories = (1u << 5) - 1;

// Which lines of a day to show; every part left empty lets all lines pass.
struct LogFilter {
    QString controller; // the Com Name, exactly
    unsigned categories = kAllLogCategories;
    QDateTime from, to; // both ends included, to the second
    QString text;       // anywhere in the line, case aside
    bool passesAll() const;
    bool operator==(const LogFilter&) const = default;
};

// A filter turned into bytes, to test lines without making text of them. A line too damaged
// to have its columns is shown whatever the column filters say; only the free text applies
// to it. So does a line whose time cannot be read, for the time range.
class LogLineMatcher {
  public:
    explicit LogLineMatcher(const LogFilter& filter);
    bool matches(QByteArrayView line) const;

  private:
    bool containsText(QByteArrayView line) const;
    bool matchesColumns(QByteArrayView line) const;

    QByteArray controller_; // with the tab after it
    bool anyController_;
    unsigned categories_;
    QByteArray from_, to_; // as the log writes times, which sort as they run
    QByteArray text_;      // folded to lower case
    std::array<qsizetype, 256> skip_{};
};

// The rows of [first, last) that match, ascending.
std::vector<uint32_t> matchingRows(const LogDayIndex& index, const LogLineMatcher& matcher,
                                   qint64 first, qint64 last);

} // namespace iomira
