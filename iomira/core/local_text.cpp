#include "core/local_text.h"

#include <QStringDecoder>

namespace iomira {

QByteArray toLocalCodeSet(const QString& text) {
    return text.toLocal8Bit();
}

QString fromLocalCodeSet(QByteArrayView text) {
    return QString::fromLocal8Bit(text);
}

QString fromLocalCodeSet(QByteArrayView text, bool* valid) {
    QStringDecoder decoder(QStringConverter::System);
    QString decoded = decoder.decode(text);
    *valid = !decoder.hasError();
    return decoded;
}

// Qt takes the local code set of Unix systems to be UTF-8.
bool isLocalCodeSet(QByteArrayView text) {
    return text.isValidUtf8();
}

} // namespace iomira
