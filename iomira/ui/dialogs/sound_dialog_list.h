#pragma once

#include <cstdint>

class QTableWidget;
class QWidget;

namespace iomira {

class SoundLibrary;
class UserPrompts;

// The "Name" and "Path" list of the sound chooser and the library dialog: one row per
// library entry, sorted by name, the row's data being its SoundId.
QTableWidget* newSoundTable(QWidget* parent);
// Opens a dialog holding the list wide enough to show both columns whole.
void sizeForSoundTable(QWidget* dialog);
void fillSoundTable(QTableWidget* table, const SoundLibrary& library);
// The selected row's SoundId, or 0 when no row is selected.
int32_t selectedSoundId(const QTableWidget* table);
// "Play Sound": plays the selected entry, or asks for a selection.
void playSelectedSound(const QTableWidget* table, const SoundLibrary& library,
                       UserPrompts& prompts);

} // namespace iomira
