#pragma once

#include "sound_output.h"

#include <memory>

class QSoundEffect;

namespace iomira {

// Plays WAV files through one QSoundEffect, so a new sound replaces the one playing.
// Lives on the user-interface thread, which runs the event loop the effect needs.
class EffectSoundOutput final : public SoundOutput {
public:
    EffectSoundOutput();
    ~EffectSoundOutput() override;
    void play(const QString& path) override;

private:
    std::unique_ptr<QSoundEffect> effect_;
};

} // namespace iomira
