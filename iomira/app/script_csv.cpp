// The CSV form: a header row naming the columns, one row per controller. Cells are split at
// every comma and empty ones dropped; there is no quoting.

#include "app/script_keys.h"
#include "app/script_reader.h"

#include "core/texts.h"

#include <QHash>

#include <utility>

namespace iomira {

namespace {

constexpr qsizetype kLineMaxBytes = 4095; // line break included

struct Row {
    int line = 0;
    bool tooLong = false; // read as empty
    bool shifted = false; // an empty cell was dropped before a later cell
    bool quoted = false;  // a cell starts with a quote
    QList<QByteArray> cells;
};

Row splitRow(int line, QByteArrayView text) {
    Row row;
    row.line = line;
    if (text.size() > kLineMaxBytes) {
        row.tooLong = true;
        return row;
    }
    if (text.endsWith('\n')) text.chop(1);
    if (text.endsWith('\r')) text.chop(1);
    bool dropped = false;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype comma = text.indexOf(',', start);
        if (comma < 0) comma = text.size();
        const QByteArrayView cell = text.sliced(start, comma - start);
        start = comma + 1;
        if (cell.isEmpty()) {
            dropped = true;
            continue;
        }
        row.shifted = row.shifted || dropped;
        row.quoted = row.quoted || cell.startsWith('"');
        row.cells << cell.toByteArray();
    }
    return row;
}

// A line ends at LF, with or without CR before it, so files saved with either break read.
class Lines {
  public:
    explicit Lines(const QByteArray& bytes) : bytes_(bytes) {}

    bool next(Row& row) {
        if (at_ >= bytes_.size()) return false;
        const qsizetype lf = bytes_.indexOf('\n', at_);
        const qsizetype end = lf < 0 ? bytes_.size() : lf + 1;
        row = splitRow(++line_, QByteArrayView(bytes_).sliced(at_, end - at_));
        at_ = end;
        return true;
    }

  private:
    const QByteArray& bytes_;
    qsizetype at_ = 0;
    int line_ = 0;
};

void warnAbout(const Row& row, QStringList& warnings) {
    if (row.tooLong) warnings << scriptWarning(TEXT_SCRIPT_LINE_TOO_LONG, row.line);
    if (row.shifted) warnings << scriptWarning(TEXT_SCRIPT_EMPTY_CELL, row.line);
    if (row.quoted) warnings << scriptWarning(TEXT_SCRIPT_QUOTED_CELL, row.line);
}

// The position of each key's column: the first header cell equal to it, case ignored.
class Columns {
  public:
    explicit Columns(const QList<QByteArray>& header) {
        for (const QByteArray& key : scriptKeys()) {
            for (qsizetype at = 0; at < header.size(); ++at) {
                if (header[at].compare(key, Qt::CaseInsensitive) != 0) continue;
                positions_.insert(key, at);
                if (at >= widest_.second) widest_ = {key, at};
                break;
            }
        }
    }

    qsizetype position(const QByteArray& key) const { return positions_.value(key, -1); }
    // The key whose column lies farthest right, and its position; -1 without any key.
    const std::pair<QByteArray, qsizetype>& widest() const { return widest_; }

  private:
    QHash<QByteArray, qsizetype> positions_;
    std::pair<QByteArray, qsizetype> widest_{QByteArray(), -1};
};

void readRows(Lines& lines, const Columns& columns, ScriptReadOutcome& outcome) {
    const auto& [widestKey, widest] = columns.widest();
    Row row;
    while (lines.next(row)) {
        warnAbout(row, outcome.warnings);
        if (row.cells.isEmpty()) continue;
        // A short row lost cells to the comma rule or never had them: no partial controller.
        if (row.cells.size() <= widest) {
            outcome.warnings << scriptWarning(TEXT_SCRIPT_SHORT_ROW, row.line,
                                              {QString::number(row.cells.size()),
                                               QString::fromLatin1(widestKey),
                                               QString::number(widest + 1)});
            continue;
        }
        const auto lookup = [&](const QByteArray& key) {
            ScriptValue v;
            v.line = row.line;
            const qsizetype at = columns.position(key);
            if (at < 0) return v;
            v.state = ScriptValue::State::Present;
            v.bytes = row.cells[at];
            return v;
        };
        outcome.records.push_back(
            scriptRecord(ScriptForm::Csv, row.line, lookup, outcome.warnings));
    }
}

} // namespace

ScriptReadOutcome readCsvScript(const QByteArray& input) {
    ScriptReadOutcome outcome;
    const QByteArray bytes = withoutByteOrderMark(input);
    Lines lines(bytes);
    Row header;
    if (lines.next(header)) {
        warnAbout(header, outcome.warnings);
        if (!header.cells.isEmpty()) readRows(lines, Columns(header.cells), outcome);
    }
    if (outcome.records.empty()) outcome.warnings << scriptText(TEXT_SCRIPT_NO_CONTROLLERS, {});
    return outcome;
}

} // namespace iomira
