#pragma once

#include <QString>

#include <cstdint>

namespace iomira {

// One entry of the sound library: what the user sees and the file that is played.
struct CSound {
    int32_t SoundId = 0;
    QString SoundName;
    QString SoundPath;

    bool operator==(const CSound&) const = default;
};

inline constexpr int32_t kBuiltInSoundId = 1;

} // namespace iomira
