#pragma once

#include <functional>

namespace iomira {

class CMainFrame;
class ControllerWindows;
class CDlgMSG;
class MonitorLog;
class SharedControllers;
class Store;
class UserPrompts;
struct GlobalValue;

// What the controller windows, the notification window and the two settings dialogs take
// from the application at start-up.
struct WindowsWiring {
    CMainFrame& frame;
    Store& store;
    UserPrompts& prompts;
    SharedControllers& controllers;
    MonitorLog& log;
    std::function<int()> inputNotification;
    // Writes a log switch (a category, or the deleting of old files) to the settings block and
    // the store.
    std::function<void(const GlobalValue&, int)> setLogSwitch;
};

struct WiredWindows {
    ControllerWindows* windows;
    CDlgMSG* notifications;
};

// Creates the window pool in the main frame and the notification window of the device list,
// and connects them with the tree, the dispatch and the Advanced menu.
WiredWindows wireControllerWindows(const WindowsWiring& wiring);

} // namespace iomira
