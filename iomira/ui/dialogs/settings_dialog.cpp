#include "ui/dialogs/settings_dialog.h"

#include "app/pulse_settings.h"
#include "core/device_family.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/common/dialog_buttons.h"
#include "ui/common/message_box_prompts.h"
#include "ui/dialogs/analog_settings_dialog.h"
#include "ui/dialogs/pulse_settings_dialog.h"
#include "ui/dialogs/settings_switches_box.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

CSettingsDialog::CSettingsDialog(const QString& caption, CQUORVISData& record,
                                 SettingsDialogKind kind, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), record_(record), edited_(record), kind_(kind), prompts_(prompts),
      content_(new QVBoxLayout), switches_(new SettingsSwitchesBox(kind, edited_, this)),
      ok_(makeDialogButton(TEXT_OK, this, "OkButton")),
      cancel_(makeDialogButton(TEXT_CANCEL, this, "CancelButton")) {
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(caption);
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(content_);
    layout->addWidget(switches_);
    layout->addStretch(1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(ok_, &QPushButton::clicked, this, &CSettingsDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &CSettingsDialog::reject);
}

void CSettingsDialog::accept() {
    storeFields();
    if (const QString problem = refusal(); !problem.isEmpty()) {
        prompts_.error(problem);
        return;
    }
    record_ = edited_;
    QDialog::accept();
}

std::unique_ptr<CSettingsDialog> makeSettingsDialog(const QString& caption, CQUORVISData& record,
                                                    const QString& model, UserPrompts& prompts,
                                                    QWidget* parent) {
    const QString product = model.isEmpty() ? modelText(record) : model;
    const SettingsDialogKind kind = settingsDialogKind(product);
    switch (kind) {
    case SettingsDialogKind::Generic:
        return std::make_unique<CPulseSettingsDlg>(caption, record, pulseOutputCount(product),
                                                   prompts, parent);
    case SettingsDialogKind::Rlx810:
    case SettingsDialogKind::Rlx840:
    case SettingsDialogKind::Rlx850:
        return std::make_unique<CAnalogSettingsDlg>(caption, record, kind, prompts, parent);
    case SettingsDialogKind::Rlx820:
    case SettingsDialogKind::Rlx830:
        break;
    }
    return std::make_unique<CSettingsDialog>(caption, record, kind, prompts, parent);
}

bool runSettingsDialog(QWidget* parent, const QString& caption, CQUORVISData& record,
                       const QString& model) {
    MessageBoxPrompts prompts(parent);
    const auto dialog = makeSettingsDialog(caption, record, model, prompts, parent);
    return dialog->exec() == QDialog::Accepted;
}

} // namespace iomira
