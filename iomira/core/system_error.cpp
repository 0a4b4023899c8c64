#include "core/system_error.h"

#include <cstring>

namespace iomira {

QString systemErrorText(int code) {
    char buffer[256];
    // The GNU strerror_r may return a static text instead of filling the buffer.
    QString text = QString::fromLocal8Bit(strerror_r(code, buffer, sizeof buffer));
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return QStringLiteral("[%1] %2").arg(code).arg(text);
}

} // namespace iomira
