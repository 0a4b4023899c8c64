#include "core/local_text.h"

namespace iomira {

QByteArray toLocalCodeSet(const QString& text) {
    return text.toLocal8Bit();
}

QString fromLocalCodeSet(const QByteArray& text) {
    return QString::fromLocal8Bit(text);
}

} // namespace iomira
