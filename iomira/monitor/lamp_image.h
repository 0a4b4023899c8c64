#pragma once

namespace iomira {

// The lamp of one port: its body colour and the mark drawn over it.
enum class LampColor { Grey, Yellow, Green };
enum class LampMark { None, Error, Speaker, Lock, Pulse, InvertedPulse, Warning };

struct LampImage {
    LampColor color = LampColor::Grey;
    LampMark mark = LampMark::None;
    bool operator==(const LampImage&) const = default;
};

} // namespace iomira
