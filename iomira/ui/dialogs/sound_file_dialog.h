#pragma once

#include <QDialog>

#include <cstdint>

class QTableWidget;

namespace iomira {

class SoundLibrary;
class UserPrompts;

// "Sound File": picks one entry of the sound library.
class CSoundFileDlg : public QDialog {
    Q_OBJECT
  public:
    CSoundFileDlg(const SoundLibrary& library, UserPrompts& prompts, QWidget* parent = nullptr);

    // After "Select": the chosen SoundId.
    int32_t chosenId() const { return chosenId_; }

  private:
    void select();

    const SoundLibrary& library_;
    UserPrompts& prompts_;
    QTableWidget* table_;
    int32_t chosenId_ = 0;
};

} // namespace iomira
