#pragma once

#include "ui/dialogs/settings_dialog.h"

namespace iomira {

class PulseControlBox;

// The dialog of the TKA and TKB models: the outputs' pulses above every switch. Models without
// the pulse function (the P versions) get the list empty and disabled.
class CPulseSettingsDlg : public CSettingsDialog {
    Q_OBJECT
  public:
    CPulseSettingsDlg(const QString& caption, CQUORVISData& record, int pulseOutputs,
                      UserPrompts& prompts, QWidget* parent = nullptr);

    PulseControlBox* pulses() const { return pulses_; }

  private:
    PulseControlBox* pulses_;
};

} // namespace iomira
