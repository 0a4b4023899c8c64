#pragma once

#include "ui/dialogs/settings_dialog.h"

#include <vector>

namespace iomira {

class AnalogGroupBox;

// The dialog of the models with analog inputs: four channel groups for the RLX-810 and
// RLX-850, the one temperature group for the RLX-840, above the model's switches.
class CAnalogSettingsDlg : public CSettingsDialog {
    Q_OBJECT
  public:
    CAnalogSettingsDlg(const QString& caption, CQUORVISData& record, SettingsDialogKind kind,
                       UserPrompts& prompts, QWidget* parent = nullptr);

    AnalogGroupBox* group(int channel) const { return groups_.at(channel); }
    int groupCount() const { return static_cast<int>(groups_.size()); }

  protected:
    void storeFields() override;
    QString refusal() const override;

  private:
    std::vector<AnalogGroupBox*> groups_;
};

} // namespace iomira
