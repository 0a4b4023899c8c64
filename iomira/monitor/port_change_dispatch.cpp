#include "monitor_events.h"

#include "corvel/corvel.h"
#include "quorvis_data.h"

namespace iomira {

// The first response after a connection only fills the image; later ones report changes.
void PortChangeDispatch::DispatchInputChanges(CQUORVISData& controller) {
    if (controller.InputsValid == 0) {
        controller.InputsValid = 1;
        return;
    }
    for (int i = 0; i < controller.NumberOfPortInput && i < kDigitalPorts; ++i) {
        const int value = get_received_port_value(controller.DeviceId, CORVEL_KIND_INPUT, i) == 1 ? 1 : 0;
        if (value != controller.InputImage[i] && postInputNotification)
            postInputNotification(controller, i, value);
    }
}

void PortChangeDispatch::DispatchOutputChanges(CQUORVISData& controller) {
    controller.OutputsValid = 1;
}

} // namespace iomira
