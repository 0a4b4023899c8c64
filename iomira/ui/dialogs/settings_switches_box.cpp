#include "ui/dialogs/settings_switches_box.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/common/text_widths.h"

#include <QComboBox>
#include <QFormLayout>

namespace iomira {

SettingsSwitchesBox::SettingsSwitchesBox(SettingsDialogKind kind, CQUORVISData& edited,
                                         QWidget* parent)
    : QGroupBox(loadString(TEXT_SETTINGS_BUTTON), parent) {
    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (SettingsSwitch which : settingsSwitches(kind)) {
        auto* combo = new QComboBox(this);
        combo->addItems({loadString(TEXT_OFF), loadString(TEXT_ON)});
        combo->setCurrentIndex(settingsSwitchField(edited, which) ? 1 : 0);
        combo->setMinimumWidth(widthForCharacters(*combo, 14));
        connect(combo, &QComboBox::currentIndexChanged, this,
                [&edited, which](int index) { settingsSwitchField(edited, which) = index; });
        layout->addRow(loadString(settingsSwitchCaption(which)), combo);
        combos_[which] = combo;
    }
}

QComboBox* SettingsSwitchesBox::combo(SettingsSwitch which) const {
    const auto found = combos_.find(which);
    return found == combos_.end() ? nullptr : found->second;
}

} // namespace iomira
