#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include <cstdint>
#include <span>

namespace iomira {

class LogDayIndex;

// One log line as a CSV row of its eight columns, in UTF-8. A line too damaged to have its
// columns goes whole into the last one, as the viewer shows it; bytes that are no text
// become replacement characters.
QByteArray logCsvRow(QByteArrayView line);
// The column names as the first row.
QByteArray logCsvHeader();

// Writes the header and the rows (ascending) to `out`. False when a write failed.
bool writeLogCsv(const LogDayIndex& index, std::span<const uint32_t> rows, QIODevice& out);
// The same for every row of the index.
bool writeLogCsv(const LogDayIndex& index, QIODevice& out);

} // namespace iomira
