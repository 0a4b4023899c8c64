#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace iomira {

class CQUORVISData;

// What the monitor asks of the windows around it; all calls come on the UI thread.
class MonitorEvents {
public:
    virtual ~MonitorEvents() = default;
    // A connection was started: the controller's window, tree item and mirror window redraw.
    virtual void connectionStarted(int deviceId) = 0;
    // A connection notification was handled; the tree item shows the icon of the new state.
    virtual void connectionNotified(int deviceId, intptr_t lparam) = 0;
    virtual void showError(const QString& message) = 0;
};

// The port-change dispatch compares a response with the controller's images and raises the
// notifications. Without notifications wired in, a response only ends the silent first one.
class PortChangeDispatch {
public:
    // Where a changed input's message goes (the notification window); unset drops it.
    std::function<void(const CQUORVISData& controller, int input, int value)> postInputNotification;

    virtual ~PortChangeDispatch() = default;
    virtual void DispatchInputChanges(CQUORVISData& controller);
    virtual void DispatchOutputChanges(CQUORVISData& controller);
};

} // namespace iomira
