#pragma once

#include <QGroupBox>

class QComboBox;
class QLineEdit;

namespace iomira {

class CQUORVISData;

// One analog channel's name, display range and (where the model has one) unit.
class AnalogGroupBox : public QGroupBox {
    Q_OBJECT
  public:
    AnalogGroupBox(const QString& title, int channel, bool withUnit, const CQUORVISData& record,
                   QWidget* parent);

    QLineEdit* nameField() const { return name_; }
    QLineEdit* minField() const { return min_; }
    QLineEdit* maxField() const { return max_; }
    QComboBox* unitField() const { return unit_; } // none without a unit
    // Writes the group's texts into the record.
    void store(CQUORVISData& record) const;

  private:
    int channel_;
    QLineEdit* name_;
    QLineEdit* min_;
    QLineEdit* max_;
    QComboBox* unit_ = nullptr;
};

} // namespace iomira
