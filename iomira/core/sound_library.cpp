#include "core/sound_library.h"

#include "core/random_id.h"

#include <QDir>

namespace iomira {

void SoundLibrary::installBuiltIn(const QString& startDirectory) {
    insert({kBuiltInSoundId, QStringLiteral("Siren.wav"),
            QDir(startDirectory).filePath(QStringLiteral("Siren.wav"))});
}

void SoundLibrary::insert(const CSound& sound) {
    sounds_[sound.SoundId] = sound;
}

bool SoundLibrary::add(Store& store, const CSound& sound) {
    insert(sound);
    return saveSound(store, sound);
}

bool SoundLibrary::remove(Store& store, int32_t soundId) {
    if (!store.deleteKey(soundKeyName(soundId))) return false;
    sounds_.erase(soundId);
    return true;
}

const CSound* SoundLibrary::find(int32_t soundId) const {
    const auto it = sounds_.find(soundId);
    return it == sounds_.end() ? nullptr : &it->second;
}

int32_t NewSoundId(const SoundLibrary& library) {
    return drawFreeId(1, 32767, [&library](int id) { return library.find(id) != nullptr; });
}

QString soundKeyName(int32_t soundId) {
    return QStringLiteral("SOUND_ID_%1").arg(soundId);
}

bool saveSound(Store& store, const CSound& sound) {
    return store.writeValues(soundKeyName(sound.SoundId),
                             {StoreValue::dwordValue(QStringLiteral("SoundId"), sound.SoundId),
                              StoreValue::textValue(QStringLiteral("SoundName"), sound.SoundName),
                              StoreValue::textValue(QStringLiteral("SoundPath"), sound.SoundPath)});
}

CSound readSound(const KeyValues& v) {
    return {v.dword(QStringLiteral("SoundId"), 0), v.text(QStringLiteral("SoundName")),
            v.text(QStringLiteral("SoundPath"))};
}

} // namespace iomira
