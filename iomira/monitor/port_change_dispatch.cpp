#include "monitor_events.h"

#include "quorvis_data.h"

namespace iomira {

void PortChangeDispatch::DispatchInputChanges(CQUORVISData& controller) {
    controller.InputsValid = 1;
}

void PortChangeDispatch::DispatchOutputChanges(CQUORVISData& controller) {
    controller.OutputsValid = 1;
}

} // namespace iomira
