#pragma once

#include "app/sound_dialog_tables.h"

#include <QDialog>

#include <functional>

class QTableWidget;

namespace iomira {

// "Sound File Setting": the sound library with Add, Delete and Play Sound.
class CSoundFileSetting : public QDialog {
    Q_OBJECT
  public:
    explicit CSoundFileSetting(const SoundDialogTables& tables, QWidget* parent = nullptr);

    // "Add": true when a sound was added. Runs the add dialog unless a test replaces it.
    std::function<bool()> addSound;
    QTableWidget* table() const { return table_; }

  private:
    void add();
    void remove();

    SoundDialogTables tables_;
    QTableWidget* table_;
};

} // namespace iomira
