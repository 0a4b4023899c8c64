#pragma once

#include "core/sound.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace iomira {

class CQUORVISData;
class ControllerTable;
class SoundLibrary;

// Which of an input's two sounds: the one for turning on or the one for turning off.
enum SoundEdge { SOUND_ON, SOUND_OFF };

// Order of the sound lists: the first n characters decide, n being the shorter length, so a
// name and its prefix compare equal (and keep the library's order between them).
bool soundNameLess(const QString& a, const QString& b);
std::vector<CSound> soundsByName(const SoundLibrary& library);

// One line of the ON or OFF list of the sound notification dialog.
struct SoundAssignmentRow {
    int input = 0;
    QString port;  // the input's name
    QString sound; // the sound's name, or "File not found." for an id the library lacks
    bool operator==(const SoundAssignmentRow&) const = default;
};
std::vector<SoundAssignmentRow> soundAssignmentRows(const CQUORVISData& controller,
                                                    const SoundLibrary& library, SoundEdge edge);

// Sets the ON or OFF sound of each listed input (0 clears it); inputs the controller does
// not have are ignored.
void setInputSounds(CQUORVISData& controller, const std::vector<int>& inputs, SoundEdge edge,
                    int32_t soundId);

// Only the digital families have a sound per input.
bool offersSoundDialog(const CQUORVISData& controller);

// How many input sounds (ON and OFF counted apart) of all controllers name `soundId`.
int soundUseCount(const ControllerTable& controllers, int32_t soundId);

// A new sound id that neither the library nor any controller uses: an input still naming a
// deleted sound must not start playing a sound added later. -1 when none is left.
int32_t newUnreferencedSoundId(const SoundLibrary& library, const ControllerTable& controllers);

// The library entry for a chosen file: its file name as the name, the full path kept.
CSound soundForFile(int32_t soundId, const QString& path);

// "Are you sure to delete %s?", telling how many inputs lose their sound when it is in use.
QString deleteSoundQuestion(const CSound& sound, int useCount);

} // namespace iomira
