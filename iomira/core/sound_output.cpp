#include "core/sound_output.h"

#include "core/quorvis_data.h"
#include "core/sound_library.h"

#include <QFileInfo>

namespace iomira {

namespace {

SoundOutput* g_program = nullptr;
SoundOutput* g_override = nullptr;

SoundOutput* currentOutput() {
    return g_override ? g_override : g_program;
}

} // namespace

void setProgramSoundOutput(SoundOutput* output) {
    g_program = output;
}

void setSoundOutput(SoundOutput* output) {
    g_override = output;
}

QString defaultSoundPath() {
    return QStringLiteral(":/sounds/Siren.wav");
}

void PlaySoundFile(const QString& path) {
    if (SoundOutput* output = currentOutput())
        output->play(QFileInfo(path).isFile() ? path : defaultSoundPath());
}

void PlayInputSound(const SoundLibrary& library, const CQUORVISData& controller, int input,
                    int value) {
    if (input < 0 || input >= kDigitalPorts) return;
    const int32_t id = value == 1 ? controller.OnDiSoundId[input] : controller.OffDiSoundId[input];
    if (id == 0) return;
    if (const CSound* sound = library.find(id)) PlaySoundFile(sound->SoundPath);
}

} // namespace iomira
