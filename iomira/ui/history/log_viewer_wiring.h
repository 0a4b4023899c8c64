#pragma once

namespace iomira {

struct WindowsWiring;

// The View menu's event viewer: made on first use, raised when opened again; its "Trend"
// opens the trend window on the program's controller of the row's name.
void wireLogViewer(const WindowsWiring& wiring);

} // namespace iomira
