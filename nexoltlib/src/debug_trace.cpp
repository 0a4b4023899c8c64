#include "debug_trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace nexolt {

void debug_trace(const char* format, ...) {
    if (!std::getenv("IOMIRA_DEBUG")) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

} // namespace nexolt
