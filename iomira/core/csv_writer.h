#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <span>

namespace iomira {

// Rows of comma-separated values as RFC 4180 has them: a field holding a comma, a quote, CR
// or LF is quoted with its quotes doubled, and every row ends with CR LF. Fields are UTF-8.
void appendCsvField(QByteArray& out, QByteArrayView field);
void appendCsvRow(QByteArray& out, std::span<const QByteArrayView> fields);
QByteArray csvRow(const QStringList& fields);

} // namespace iomira
