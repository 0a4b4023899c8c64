#pragma once

#include "core/sound.h"
#include "core/store.h"

#include <map>

namespace iomira {

// Every sound the user can pick, keyed by SoundId; id 1 is the built-in siren.
class SoundLibrary {
  public:
    // The built-in entry, pointing at "Siren.wav" in the given (start-up) directory. It is
    // never stored; a stored sound with id 1 replaces it.
    void installBuiltIn(const QString& startDirectory);
    void insert(const CSound& sound);
    // Writes the sound's key, then adds it.
    bool add(Store& store, const CSound& sound);
    // Deletes the key; only when that worked is the entry removed.
    bool remove(Store& store, int32_t soundId);

    const CSound* find(int32_t soundId) const;
    int size() const { return static_cast<int>(sounds_.size()); }

    template <typename F> void forEach(F&& visit) const {
        for (const auto& [id, sound] : sounds_)
            visit(sound);
    }

  private:
    std::map<int32_t, CSound> sounds_;
};

// A fresh id from 1 to 32767; 0 stays free because it means "no sound" in a controller.
int32_t NewSoundId(const SoundLibrary& library);

QString soundKeyName(int32_t soundId); // "SOUND_ID_%d"
bool saveSound(Store& store, const CSound& sound);
CSound readSound(const KeyValues& values);

} // namespace iomira
