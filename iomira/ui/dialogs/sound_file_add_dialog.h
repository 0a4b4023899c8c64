#pragma once

#include "app/sound_dialog_tables.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace iomira {

// Adds one WAV file to the sound library ("Sound File Setting", opened by "Add").
class CSoundFileAddDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CSoundFileAddDlg(const SoundDialogTables& tables, QWidget* parent = nullptr);

    // "Find": returns the chosen file, empty when cancelled. The platform's file dialog
    // unless a test puts its own choice here.
    std::function<QString()> chooseFile;
    // The sound added by "Add" (valid after the dialog ended with OK).
    int32_t addedId() const { return addedId_; }

  private:
    void find();
    void add();
    void play();

    SoundDialogTables tables_;
    QLineEdit* pathField_;
    QString path_;
    int32_t addedId_ = 0;
};

} // namespace iomira
