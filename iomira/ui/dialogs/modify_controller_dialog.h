#pragma once

#include "app/controller_form.h"
#include "core/quorvis_data.h"

#include <QDialog>

class QComboBox;
class QPushButton;

namespace iomira {

class ControllerFields;
class CROOTDataList;
class UserPrompts;

// "Modify I/O Controller Settings" for one registered controller. It edits a copy; on OK
// `edited()` holds the changed record for the caller to apply.
class CModifyDevices1Dlg : public QDialog {
    Q_OBJECT
  public:
    CModifyDevices1Dlg(UserPrompts& prompts, const CROOTDataList& groups,
                       const CQUORVISData& record, QWidget* parent = nullptr);

    const CQUORVISData& edited() const { return edited_; }
    bool portsChanged() const { return portsChanged_; }

    void accept() override;
    void reject() override;

  private:
    ControllerForm form() const;
    void openSettings();

    UserPrompts& prompts_;
    const CQUORVISData original_;
    CQUORVISData working_; // what the Settings dialog edits
    CQUORVISData edited_;
    ControllerForm shownForm_;
    bool portsChanged_ = false;
    QComboBox* groups_;
    QComboBox* product_;
    ControllerFields* fields_;
};

} // namespace iomira
