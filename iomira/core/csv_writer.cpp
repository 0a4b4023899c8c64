#include "core/csv_writer.h"

#include <QList>

namespace iomira {

namespace {

bool needsQuotes(QByteArrayView field) {
    for (const char c : field) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    }
    return false;
}

} // namespace

void appendCsvField(QByteArray& out, QByteArrayView field) {
    if (!needsQuotes(field)) {
        out.append(field);
        return;
    }
    out.append('"');
    for (const char c : field) {
        if (c == '"') out.append('"');
        out.append(c);
    }
    out.append('"');
}

void appendCsvRow(QByteArray& out, std::span<const QByteArrayView> fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out.append(',');
        appendCsvField(out, fields[i]);
    }
    out.append("\r\n");
}

QByteArray csvRow(const QStringList& fields) {
    QList<QByteArray> encoded;
    for (const QString& field : fields)
        encoded << field.toUtf8();
    const QList<QByteArrayView> views(encoded.begin(), encoded.end());
    QByteArray out;
    appendCsvRow(out, views);
    return out;
}

} // namespace iomira
