#pragma once

#include <QString>

#include <cstdint>

namespace iomira {

// A 32-bit input counter from its two 16-bit registers, the high word first.
uint32_t counterValue(int highRegister, int lowRegister);
// "100,000 ": the count with "," between groups of three digits, then a space. Counters count
// up and wrap at 2^32, so the value is shown unsigned.
QString counterText(uint32_t value);

} // namespace iomira
