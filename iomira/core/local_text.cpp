#include "core/local_text.h"

namespace iomira {

QByteArray toLocalCodeSet(const QString& text) {
    return text.toLocal8Bit();
}

} // namespace iomira
