// The checks a record must pass before it is written to a device, in the order the
// devices' own configuration program applies them.
#pragma once

#include "nexoltlib/nexoltlib.h"

#include <vector>

namespace nexolt {

// 0, or -301, -300, -600 to -606, -400 or -500.
int validate_write(const lib_env& env);

// True when one 32-byte macro text parses.
bool macro_text_valid(const char* text);

} // namespace nexolt
