#pragma once

class QMenu;

namespace iomira {

class CQUORVISData;
struct ViewServices;

// A controller window's own commands (connect, disconnect, modify, delete, sounds), enabled as
// the connection state allows, and its trend; each runs once the menu has returned.
void addControllerCommands(QMenu& menu, const CQUORVISData& controller, int connectionState,
                           const ViewServices& services);

} // namespace iomira
