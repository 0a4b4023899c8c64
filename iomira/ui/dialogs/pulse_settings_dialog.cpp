#include "ui/dialogs/pulse_settings_dialog.h"

#include "ui/dialogs/pulse_control_box.h"

#include <QVBoxLayout>

namespace iomira {

CPulseSettingsDlg::CPulseSettingsDlg(const QString& caption, CQUORVISData& record, int pulseOutputs,
                                     UserPrompts& prompts, QWidget* parent)
    : CSettingsDialog(caption, record, SettingsDialogKind::Generic, prompts, parent),
      pulses_(new PulseControlBox(pulseOutputs, working(), this)) {
    contentLayout()->addWidget(pulses_);
}

} // namespace iomira
