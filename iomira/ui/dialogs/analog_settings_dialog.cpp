#include "ui/dialogs/analog_settings_dialog.h"

#include "app/analog_settings.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/dialogs/analog_group_box.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace iomira {

namespace {

QString groupTitle(SettingsDialogKind kind, int channel) {
    if (kind == SettingsDialogKind::Rlx840) return loadString(TEXT_TEMPERATURE);
    return QStringLiteral("AI%1").arg(channel);
}

} // namespace

CAnalogSettingsDlg::CAnalogSettingsDlg(const QString& caption, CQUORVISData& record,
                                       SettingsDialogKind kind, UserPrompts& prompts,
                                       QWidget* parent)
    : CSettingsDialog(caption, record, kind, prompts, parent) {
    auto* grid = new QGridLayout;
    for (int channel = 0; channel < analogGroupCount(kind); ++channel) {
        auto* group = new AnalogGroupBox(groupTitle(kind, channel), channel,
                                         analogGroupsHaveUnit(kind), working(), this);
        grid->addWidget(group, channel / 2, channel % 2);
        groups_.push_back(group);
    }
    contentLayout()->addLayout(grid);
}

void CAnalogSettingsDlg::storeFields() {
    for (const AnalogGroupBox* group : groups_)
        group->store(working());
}

QString CAnalogSettingsDlg::refusal() const {
    return kind() == SettingsDialogKind::Rlx810 ? rlx810Problem(edited()) : QString();
}

} // namespace iomira
