#pragma once

#include <vector>

namespace iomira {

// Windows are pooled per kind: a window of one kind can show any controller of that kind.
enum class ViewKind { Digital, Analog, Rlx820, Rlx850, Rlx840 };

ViewKind viewKindOf(int deviceType);

// How the windows that exist (in document order) serve a group's controllers (in Index
// order): the k-th controller of a kind takes the k-th window of that kind; controllers
// beyond the windows get new ones; windows beyond the controllers are hidden.
struct WindowPlan {
    struct Assignment {
        int window; // index into the existing windows
        int deviceId;
    };
    struct Controller {
        int deviceId;
        int deviceType;
    };
    std::vector<Assignment> retarget;
    std::vector<int> open; // device ids, in Index order
    std::vector<int> hide; // indexes into the existing windows
};

WindowPlan planGroupWindows(const std::vector<WindowPlan::Controller>& groupControllers,
                            const std::vector<ViewKind>& windowKinds);

} // namespace iomira
