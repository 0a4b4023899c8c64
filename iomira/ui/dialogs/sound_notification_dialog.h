#pragma once

#include "app/sound_dialog_tables.h"
#include "notify/alarm_rules_sound.h"

#include <QDialog>

#include <functional>
#include <optional>

class QTreeWidget;

namespace iomira {

// "Sound Notification" of one controller: which sound each input plays when it turns on and
// when it turns off. Every change is saved with the controller's record at once.
class CSoundDlg : public QDialog {
    Q_OBJECT
  public:
    CSoundDlg(const SoundDialogTables& tables, int deviceId, QWidget* parent = nullptr);

    // The sound chooser; nothing when cancelled. Replaceable for tests.
    std::function<std::optional<int32_t>()> chooseSound;

    QTreeWidget* inputList() const { return inputs_; }
    QTreeWidget* soundList(SoundEdge edge) const { return edge == SOUND_ON ? onList_ : offList_; }

  private:
    QWidget* buildSoundColumn();
    void fillInputs();
    void fillSounds(SoundEdge edge);
    void assign(SoundEdge edge);
    void clear(SoundEdge edge);
    void change(SoundEdge edge, const std::vector<int>& inputs, int32_t soundId);

    SoundDialogTables tables_;
    int deviceId_;
    QTreeWidget* inputs_;
    QTreeWidget* onList_;
    QTreeWidget* offList_;
};

} // namespace iomira
