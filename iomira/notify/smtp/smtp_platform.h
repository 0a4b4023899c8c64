#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace iomira::smtp {

// The name this machine introduces itself with in EHLO (at most 255 bytes). Throws ECSmtp 107.
std::string localHostName();

// The port the system lists for the "mail" service, 25 when it lists none.
uint16_t mailServicePort();

// The local time now; throws ECSmtp 409 when the clock cannot be read.
std::tm localTimeNow();

// Writes one line of protocol trace to the debug output, which is off unless IOMIRA_DEBUG is set.
void debugTrace(const std::string& line);

} // namespace iomira::smtp
