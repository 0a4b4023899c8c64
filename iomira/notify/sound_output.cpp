#include "sound_output.h"

#include "effect_sound_output.h"
#include "quorvis_data.h"
#include "sound_library.h"

#include <QFileInfo>

namespace iomira {

namespace {

SoundOutput* g_override = nullptr;

SoundOutput& currentOutput() {
    if (g_override) return *g_override;
    static EffectSoundOutput effect;
    return effect;
}

} // namespace

void setSoundOutput(SoundOutput* output) { g_override = output; }

QString defaultSoundPath() { return QStringLiteral(":/sounds/Siren.wav"); }

void PlaySoundFile(const QString& path) {
    currentOutput().play(QFileInfo(path).isFile() ? path : defaultSoundPath());
}

void PlayInputSound(const SoundLibrary& library, const CQUORVISData& controller, int input,
                    int value) {
    if (input < 0 || input >= kDigitalPorts) return;
    const int32_t id = value == 1 ? controller.OnDiSoundId[input] : controller.OffDiSoundId[input];
    if (id == 0) return;
    if (const CSound* sound = library.find(id)) PlaySoundFile(sound->SoundPath);
}

} // namespace iomira
