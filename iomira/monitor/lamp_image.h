#pragma once

namespace iomira {

// The lamp of one port: its body colour, the mark drawn over it, and whether its value is
// unknown (the controller is not connected or not answering), which fades and hatches the body
// so that it never looks like a port that reads 0.
enum class LampColor { Grey, Yellow, Green };
enum class LampMark { None, Error, Speaker, Lock, Pulse, InvertedPulse, Warning };

struct LampImage {
    LampColor color = LampColor::Grey;
    LampMark mark = LampMark::None;
    bool unknown = false;
    bool operator==(const LampImage&) const = default;
};

} // namespace iomira
