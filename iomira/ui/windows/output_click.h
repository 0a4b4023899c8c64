#pragma once

#include "monitor/controller_commands.h"

namespace iomira {

struct ViewServices;

// A click on an output button of a controller window: nothing when not connected, the
// restriction message, the output-switch question, then the write or pulse the port asks for.
// Messages are shown here; the outcome carries the pulse timer to start.
CommandOutcome clickOutputPort(ControllerCommands& commands, const ViewServices& services,
                               const CQUORVISData& controller, int port, int shownValue);

} // namespace iomira
