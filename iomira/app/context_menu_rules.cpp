#include "app/context_menu_rules.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/texts.h"
#include "corvel/corvel.h"

namespace iomira {

bool connectEnabled(int state, int reconnectWanted) {
    return state == TCP_CLOSED || (state == TCP_ERROR && reconnectWanted != 1);
}

// A connection that is still being attempted can be stopped too: a peer that never answers
// would otherwise leave no way out of "Connecting".
bool disconnectEnabled(int state, int reconnectWanted) {
    return state == TCP_LISTEN || state == TCP_CONNECTING || state == TCP_ESTABLISHED ||
           (state == TCP_ERROR && reconnectWanted == 1);
}

bool modifyEnabled(int state) {
    return state == TCP_CLOSED || state == TCP_ERROR;
}

std::vector<MenuEntry> contextMenuEntries(const TreeSelection& s, int state) {
    std::vector<MenuEntry> entries;
    if (const CQUORVISData* c = s.controller) {
        entries.push_back({CMD_CONNECT, TEXT_CONNECT, connectEnabled(state, c->ReconnectWanted)});
        entries.push_back(
            {CMD_DISCONNECT, TEXT_DISCONNECT, disconnectEnabled(state, c->ReconnectWanted)});
        entries.push_back({CMD_MODIFY, TEXT_MODIFY, modifyEnabled(state)});
        entries.push_back({CMD_DELETE_CONTROLLER, TEXT_DELETE_CONTROLLER, true});
    }
    entries.push_back({CMD_ADD_CONTROLLER, TEXT_ADD_IO_CONTROLLER, true});
    if (s.controller && s.controller->NumberOfPortInput > 0) {
        entries.push_back({CMD_SOUND_NOTIFICATION, TEXT_SOUND_NOTIFICATION, true});
        entries.push_back({CMD_SOUND_FILE, TEXT_SOUND_FILE_SETTING, true});
    }
    entries.push_back({CMD_ADD_GROUP, TEXT_ADD_GROUP, true});
    if (!s.controller && s.groupSelected && s.groupIndex >= 1)
        entries.push_back({CMD_DELETE_GROUP, TEXT_DELETE_GROUP, true});
    return entries;
}

bool windowHasViewModes(int deviceType) {
    return deviceType != FAMILY_RLX820 && deviceType != FAMILY_RLX830;
}

std::vector<MenuEntry> controllerWindowEntries(const CQUORVISData& c, int state) {
    std::vector<MenuEntry> entries = {{CMD_CONNECT, TEXT_CONNECT, false},
                                      {CMD_DISCONNECT, TEXT_DISCONNECT, false},
                                      {CMD_MODIFY, TEXT_MODIFY, false},
                                      {CMD_DELETE_CONTROLLER, TEXT_DELETE_CONTROLLER, false}};
    const bool sounds = c.DeviceType == FAMILY_GENERIC || c.DeviceType == FAMILY_RLX850 ||
                        c.DeviceType == FAMILY_RLX820;
    if (sounds) {
        entries.push_back({0, 0, false});
        entries.push_back({CMD_SOUND_NOTIFICATION, TEXT_SOUND_NOTIFICATION, false});
        entries.push_back({CMD_SOUND_FILE, TEXT_SOUND_FILE_SETTING, false});
    }
    TreeSelection selection;
    selection.controller = &c;
    const std::vector<MenuEntry> tree = contextMenuEntries(selection, state);
    for (MenuEntry& entry : entries) {
        for (const MenuEntry& same : tree)
            if (same.command == entry.command) entry.enabled = same.enabled;
    }
    return entries;
}

} // namespace iomira
