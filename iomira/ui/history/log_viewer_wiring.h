#pragma once

namespace iomira {

struct WindowsWiring;

// The View menu's event viewer: made on first use, raised when opened again; its "Trend"
// goes to the main frame's trend command.
void wireLogViewer(const WindowsWiring& wiring);

} // namespace iomira
