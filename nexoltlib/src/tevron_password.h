// Passwords of the Tevron_ layer: texts of 0 or 4 to 8 characters, sent as 10-byte fields.
#pragma once

#include <cstdint>

namespace nexolt {

// 0 with the NUL-padded field, or -905 for a text of another length (NULL is empty).
int password_field(const char* text, uint8_t field[10]);

} // namespace nexolt
