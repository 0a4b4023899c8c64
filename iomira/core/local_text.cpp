#include "core/local_text.h"

#include <QStringDecoder>

namespace iomira {

QByteArray toLocalCodeSet(const QString& text) {
    return text.toLocal8Bit();
}

QString fromLocalCodeSet(const QByteArray& text) {
    return QString::fromLocal8Bit(text);
}

QString fromLocalCodeSet(const QByteArray& text, bool* valid) {
    QStringDecoder decoder(QStringConverter::System);
    QString decoded = decoder.decode(text);
    *valid = !decoder.hasError();
    return decoded;
}

} // namespace iomira
