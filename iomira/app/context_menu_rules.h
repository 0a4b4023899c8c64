#pragma once

#include <vector>

namespace iomira {

class CQUORVISData;

// Command ids of the device tree's context menu.
enum TreeCommand {
    CMD_CONNECT = 32775,
    CMD_DISCONNECT = 32776,
    CMD_MODIFY = 32778,
    CMD_DELETE_CONTROLLER = 32779,
    CMD_ADD_CONTROLLER = 32780,
    CMD_SOUND_NOTIFICATION = 32856,
    CMD_SOUND_FILE = 32858,
    CMD_ADD_GROUP = 9999,
    CMD_DELETE_GROUP = 9998,
};

struct MenuEntry {
    int command;
    int textId;
    bool enabled;
};

// What the right click was on.
struct TreeSelection {
    const CQUORVISData* controller = nullptr; // the controller of a controller or info line
    bool groupSelected = false;
    int groupIndex = 0; // Index of the selected group
};

// The menu for a selection, in order, each entry enabled by the controller's connection
// state. Commands whose dialogs are not part of the program yet are listed disabled.
std::vector<MenuEntry> contextMenuEntries(const TreeSelection& selection, int connectionState);

// A controller window's own view-mode entries: not for the RLX-820 and RLX-830.
bool windowHasViewModes(int deviceType);
// The device commands of a controller window's menu, in order, a separator as command 0;
// each entry is enabled as the same command in the device tree.
std::vector<MenuEntry> controllerWindowEntries(const CQUORVISData& controller, int connectionState);

bool connectEnabled(int connectionState, int reconnectWanted);
bool disconnectEnabled(int connectionState, int reconnectWanted);
bool modifyEnabled(int connectionState);

} // namespace iomira
