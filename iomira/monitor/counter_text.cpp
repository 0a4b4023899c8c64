#include "monitor/counter_text.h"

namespace iomira {

uint32_t counterValue(int highRegister, int lowRegister) {
    return (static_cast<uint32_t>(highRegister & 0xFFFF) << 16) |
           static_cast<uint32_t>(lowRegister & 0xFFFF);
}

QString counterText(uint32_t value) {
    QString digits = QString::number(value);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits + QLatin1Char(' ');
}

} // namespace iomira
