#pragma once
// The control commands read from standard input, one a line, for tests and for people.

#include "simulator.h"

#include <string>

namespace tevronsim {

struct CommandReply {
    std::string text; // ends with "ok" on success, or is "error: ..." on failure
    bool quit = false;
};

CommandReply run_command(Simulator& sim, const std::string& line);
std::string command_help();

} // namespace tevronsim
