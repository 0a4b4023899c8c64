#pragma once

#include <QString>

namespace iomira {

class CQUORVISData;
class SoundLibrary;

// Where sounds go. The program plays through Qt Multimedia (app/effect_sound_output.h);
// tests put a recorder here. Without an output nothing plays.
class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    // Starts playing at once without waiting; a sound still playing is cut off.
    virtual void play(const QString& path) = 0;
};

// The program's own output, installed once at start-up. Not owned.
void setProgramSoundOutput(SoundOutput* output);
// Replaces the program's output (nullptr restores it). Not owned.
void setSoundOutput(SoundOutput* output);

// The sound played when a file cannot be found: the built-in siren.
QString defaultSoundPath();

// Plays a file; a missing file plays the default sound instead.
void PlaySoundFile(const QString& path);

// Plays the sound picked for `input` turning on (value 1) or off; an id of 0 or one that the
// library does not hold plays nothing.
void PlayInputSound(const SoundLibrary& library, const CQUORVISData& controller, int input,
                    int value);

} // namespace iomira
