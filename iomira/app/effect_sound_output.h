#pragma once

#include "core/sound_output.h"

#include <QPointer>

class QSoundEffect;

namespace iomira {

// Plays WAV files through one QSoundEffect, so a new sound replaces the one playing. The
// effect belongs to the application object and lives on its (user-interface) thread.
class EffectSoundOutput final : public SoundOutput {
  public:
    void play(const QString& path) override;

  private:
    QPointer<QSoundEffect> effect_;
};

} // namespace iomira
