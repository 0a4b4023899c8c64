#pragma once

namespace iomira {

class ControllerWindows;
struct WindowsWiring;

// "Add I/O Controller" and "Modify I/O Controller Settings" from the Group menu, the tree's
// context menu and the controller windows; a controller whose port counts change gets a new
// window.
void wireRegistration(const WindowsWiring& wiring, ControllerWindows* windows);

} // namespace iomira
