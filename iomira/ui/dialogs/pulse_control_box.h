#pragma once

#include <QGroupBox>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace iomira {

class CQUORVISData;

// "Pulse Control": the list of outputs with their pulse, and the level and length of the
// selected one, written into the edited record as they change.
class PulseControlBox : public QGroupBox {
    Q_OBJECT
  public:
    PulseControlBox(int outputs, CQUORVISData& edited, QWidget* parent);

    QListWidget* outputList() const { return list_; }
    QComboBox* levelChoice() const { return level_; }
    QLineEdit* lengthField() const { return length_; }
    QLabel* picture() const { return picture_; }

  private:
    void showOutput(int output);
    void levelChosen();
    void lengthTyped();
    void refreshLine(int output);

    CQUORVISData& edited_;
    QListWidget* list_;
    QComboBox* level_;
    QLineEdit* length_;
    QLabel* picture_;
};

} // namespace iomira
