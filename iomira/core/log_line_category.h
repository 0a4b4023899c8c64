#pragma once

#include "core/log_line.h"

namespace iomira {

// The category of a line by the texts its writers use: the state and value entries' messages,
// Modbus exception texts in every language, socket error numbers, the mail queue's lines.
// The header, notices about the log itself, lines with the wrong columns and unknown texts
// are Other.
LogLineCategory classifyLogLine(const LogLineFields& fields);

} // namespace iomira
