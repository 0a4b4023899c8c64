#pragma once

#include "app/controller_form.h"
#include "core/quorvis_data.h"

#include <QWidget>

class QComboBox;
class QPushButton;

namespace iomira {

class ControllerFields;
class CROOTDataList;

// The add dialog's second page: one controller described by hand.
class CAddIODevices1 : public QWidget {
    Q_OBJECT
  public:
    CAddIODevices1(const CROOTDataList& groups, int rootId, QWidget* parent = nullptr);

    ControllerForm form() const;
    // The page's record with the form written into it; call after the form was checked.
    CQUORVISData record() const;

  private:
    void followProduct();
    void openSettings();

    CQUORVISData record_; // what the Settings dialog edits
    QComboBox* product_;
    QComboBox* groups_;
    ControllerFields* fields_;
    QPushButton* settings_;
};

} // namespace iomira
