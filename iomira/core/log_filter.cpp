#include "core/log_filter.h"

#include "core/local_text.h"
#include "core/log_day_index.h"
#include "core/log_line_category.h"

#include <array>

namespace iomira {

namespace {

constexpr char kTimeFormat[] = "yyyyMMdd/hh:mm:ss";

constexpr std::array<char, 256> foldTable() {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return table;
}

constexpr std::array<char, 256> kFold = foldTable();

char fold(char c) {
    return kFold[static_cast<unsigned char>(c)];
}

QByteArray folded(QByteArrayView text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = fold(text[i]);
    return out;
}

QByteArrayView withoutLineEnd(QByteArrayView line) {
    if (line.endsWith('\n')) line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

bool hasAllColumns(QByteArrayView line) {
    return line.count('\t') == LOG_COLUMN_COUNT - 1;
}

QByteArray timeBytes(const QDateTime& time) {
    return time.isValid() ? time.toString(QLatin1String(kTimeFormat)).toLatin1() : QByteArray();
}

} // namespace

bool LogFilter::passesAll() const {
    return controller.isEmpty() && categories == kAllLogCategories && !from.isValid() &&
           !to.isValid() && text.isEmpty();
}

LogLineMatcher::LogLineMatcher(const LogFilter& filter)
    : controller_(toLocalCodeSet(filter.controller) + '\t'),
      anyController_(filter.controller.isEmpty()), categories_(filter.categories),
      from_(timeBytes(filter.from)), to_(timeBytes(filter.to)),
      text_(folded(toLocalCodeSet(filter.text))) {
    for (qsizetype i = 0; i + 1 < text_.size(); ++i) {
        skip_[static_cast<unsigned char>(text_[i])] = text_.size() - 1 - i;
    }
}

bool LogLineMatcher::matches(QByteArrayView line) const {
    line = withoutLineEnd(line);
    if (!text_.isEmpty() && !containsText(line)) return false;
    return matchesColumns(line);
}

// Horspool's search with ASCII letters folded: the bytes of other letters compare as they
// are.
bool LogLineMatcher::containsText(QByteArrayView line) const {
    const qsizetype m = text_.size();
    const char* needle = text_.constData();
    for (qsizetype pos = 0; pos + m <= line.size();) {
        const char* at = line.data() + pos;
        qsizetype j = m - 1;
        while (fold(at[j]) == needle[j]) {
            if (j == 0) return true;
            --j;
        }
        const qsizetype shift = skip_[static_cast<unsigned char>(fold(at[m - 1]))];
        pos += shift ? shift : m;
    }
    return false;
}

bool LogLineMatcher::matchesColumns(QByteArrayView line) const {
    if (!anyController_ && !line.startsWith(controller_) && hasAllColumns(line)) return false;
    if (categories_ == kAllLogCategories && from_.isEmpty() && to_.isEmpty()) return true;
    const LogLineFields fields = splitLogLine(line);
    if (fields.flaws & LOG_LINE_COLUMNS) return true;
    if (!(categories_ & logCategoryBit(classifyLogLine(fields)))) return false;
    const QByteArrayView time = fields.columns[LOG_TIME];
    if (time.size() != qsizetype(sizeof kTimeFormat - 1)) return true;
    return (from_.isEmpty() || time >= from_) && (to_.isEmpty() || time <= to_);
}

std::vector<uint32_t> matchingRows(const LogDayIndex& index, const LogLineMatcher& matcher,
                                   qint64 first, qint64 last) {
    std::vector<uint32_t> rows;
    index.forEachRow(first, last, [&](qint64 row, QByteArrayView line) {
        if (matcher.matches(line)) rows.push_back(static_cast<uint32_t>(row));
        return true;
    });
    return rows;
}

} // namespace iomira
