#include "monitor/error_text.h"

#include "core/string_table.h"
#include "core/system_error.h"
#include "core/texts.h"

#include <netdb.h>

namespace iomira {

QString socketErrorText(int code) {
    if (code >= 0) return systemErrorText(code);
    QString text = QString::fromLocal8Bit(gai_strerror(code));
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return QStringLiteral("[%1] %2").arg(code).arg(text);
}

QString modbusExceptionText(int code) {
    switch (code) {
    case 1:
        return loadString(TEXT_ILLEGAL_FUNCTION);
    case 2:
        return loadString(TEXT_ILLEGAL_ADDRESS);
    case 3:
        return loadString(TEXT_ILLEGAL_VALUE);
    case 4:
        return loadString(TEXT_DEVICE_FAILURE);
    case 6:
        return loadString(TEXT_DEVICE_BUSY);
    default:
        return loadString(TEXT_MODBUS_ERROR).replace(QLatin1String("%d"), QString::number(code));
    }
}

} // namespace iomira
