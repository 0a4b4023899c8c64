// Which context-menu entries the device tree and a controller window offer in each
// connection state.

#include "app/context_menu_rules.h"
#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "corvel/corvel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace iomira {
namespace {

struct StateRow {
    int state;
    int reconnectWanted;
    bool connect;
    bool disconnect;
    bool modify;
};

const StateRow kStates[] = {
    {TCP_CLOSED, 0, true, false, true},       {TCP_CLOSED, 1, true, false, true},
    {TCP_LISTEN, 0, false, true, false},      {TCP_LISTEN, 1, false, true, false},
    {TCP_CONNECTING, 0, false, true, false},  {TCP_CONNECTING, 1, false, true, false},
    {TCP_ESTABLISHED, 0, false, true, false}, {TCP_ESTABLISHED, 1, false, true, false},
    {TCP_ERROR, 0, true, false, true},        {TCP_ERROR, 1, false, true, true},
};

// "command:enabled" of each entry, in menu order, so a failure shows the whole menu.
std::string menuText(const std::vector<MenuEntry>& entries) {
    std::string text;
    for (const MenuEntry& e : entries)
        text += std::to_string(e.command) + (e.enabled ? ":on " : ":off ");
    return text;
}

CQUORVISData controllerOf(int family, int inputs, int reconnectWanted) {
    CQUORVISData c;
    c.DeviceType = family;
    c.NumberOfPortInput = inputs;
    c.ReconnectWanted = reconnectWanted;
    return c;
}

// Modify only while the connection is closed or failed; add always.
TEST(ContextMenuRules, TreeAndWindowOfferTheCommandsOfTheConnectionState) {
    for (const StateRow& row : kStates) {
        SCOPED_TRACE("state " + std::to_string(row.state) + ", reconnect " +
                     std::to_string(row.reconnectWanted));
        const CQUORVISData generic = controllerOf(FAMILY_GENERIC, 8, row.reconnectWanted);
        const std::vector<MenuEntry> head = {{CMD_CONNECT, 0, row.connect},
                                             {CMD_DISCONNECT, 0, row.disconnect},
                                             {CMD_MODIFY, 0, row.modify},
                                             {CMD_DELETE_CONTROLLER, 0, true}};
        std::vector<MenuEntry> tree = head;
        tree.insert(tree.end(), {{CMD_ADD_CONTROLLER, 0, true},
                                 {CMD_SOUND_NOTIFICATION, 0, true},
                                 {CMD_SOUND_FILE, 0, true},
                                 {CMD_ADD_GROUP, 0, true}});
        TreeSelection selection;
        selection.controller = &generic;
        EXPECT_EQ(menuText(contextMenuEntries(selection, row.state)), menuText(tree));

        std::vector<MenuEntry> window = head;
        window.insert(
            window.end(),
            {{0, 0, false}, {CMD_SOUND_NOTIFICATION, 0, true}, {CMD_SOUND_FILE, 0, true}});
        EXPECT_EQ(menuText(controllerWindowEntries(generic, row.state)), menuText(window));
        const CQUORVISData rlx = controllerOf(FAMILY_RLX830, 0, row.reconnectWanted);
        EXPECT_EQ(menuText(controllerWindowEntries(rlx, row.state)), menuText(head));
    }
}

// A generic controller without inputs has no sounds: the window lists them disabled.
TEST(ContextMenuRules, AWindowOffersSoundsOnlyForInputs) {
    const CQUORVISData noInputs = controllerOf(FAMILY_GENERIC, 0, 0);
    const std::vector<MenuEntry> entries = controllerWindowEntries(noInputs, TCP_CLOSED);
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries[5].command, CMD_SOUND_NOTIFICATION);
    EXPECT_FALSE(entries[5].enabled);
    EXPECT_FALSE(entries[6].enabled);
}

TEST(ContextMenuRules, ViewModesExceptForTheRlx820And830) {
    const std::pair<int, bool> families[] = {{FAMILY_GENERIC, true}, {FAMILY_RLX810, true},
                                             {FAMILY_RLX820, false}, {FAMILY_RLX830, false},
                                             {FAMILY_RLX850, true},  {FAMILY_RLX840, true}};
    for (const auto& [family, viewModes] : families)
        EXPECT_EQ(windowHasViewModes(family), viewModes) << "family " << family;
}

} // namespace
} // namespace iomira
