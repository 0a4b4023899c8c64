#include "app/controller_windows_plan.h"

#include "core/device_family.h"

#include <map>

namespace iomira {

ViewKind viewKindOf(int deviceType) {
    switch (deviceType) {
    case FAMILY_RLX810:
        return ViewKind::Analog;
    case FAMILY_RLX820:
        return ViewKind::Rlx820;
    case FAMILY_RLX850:
        return ViewKind::Rlx850;
    case FAMILY_RLX840:
        return ViewKind::Rlx840;
    default:
        break;
    }
    return ViewKind::Digital;
}

WindowPlan planGroupWindows(const std::vector<WindowPlan::Controller>& groupControllers,
                            const std::vector<ViewKind>& windowKinds) {
    std::map<ViewKind, std::vector<int>> windowsOfKind;
    for (int i = 0; i < int(windowKinds.size()); ++i)
        windowsOfKind[windowKinds[i]].push_back(i);

    WindowPlan plan;
    std::map<ViewKind, size_t> used;
    for (const WindowPlan::Controller& c : groupControllers) {
        const ViewKind kind = viewKindOf(c.deviceType);
        size_t& k = used[kind];
        const std::vector<int>& windows = windowsOfKind[kind];
        if (k < windows.size())
            plan.retarget.push_back({windows[k], c.deviceId});
        else
            plan.open.push_back(c.deviceId);
        ++k;
    }
    for (const auto& [kind, windows] : windowsOfKind) {
        for (size_t k = used[kind]; k < windows.size(); ++k)
            plan.hide.push_back(windows[k]);
    }
    return plan;
}

} // namespace iomira
