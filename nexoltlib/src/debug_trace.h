// Diagnostic traces, written to standard error only when IOMIRA_DEBUG is set.
#pragma once

namespace nexolt {
void debug_trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
} // namespace nexolt
