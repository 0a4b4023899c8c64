#include "ui/dialogs/analog_group_box.h"

#include "app/analog_settings.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/common/text_widths.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QValidator>

namespace iomira {

namespace {

// Keeps a display minimum or maximum to the characters a number is written with.
class AnalogNumberValidator final : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return isAnalogNumberText(input) ? Acceptable : Invalid;
    }
};

QLineEdit* numberField(const QString& text, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setValidator(new AnalogNumberValidator(field));
    return field;
}

} // namespace

AnalogGroupBox::AnalogGroupBox(const QString& title, int channel, bool withUnit,
                               const CQUORVISData& record, QWidget* parent)
    : QGroupBox(title, parent), channel_(channel) {
    const AnalogChannelTexts texts = analogChannelTexts(record, channel);
    name_ = new QLineEdit(texts.name, this);
    name_->setMinimumWidth(widthForCharacters(*name_, 24));
    min_ = numberField(texts.min, this);
    max_ = numberField(texts.max, this);
    auto* layout = new QFormLayout(this);
    layout->addRow(loadString(TEXT_NAME), name_);
    layout->addRow(loadString(TEXT_DISPLAY_MIN), min_);
    layout->addRow(loadString(TEXT_DISPLAY_MAX), max_);
    if (!withUnit) return;
    unit_ = new QComboBox(this);
    unit_->setEditable(true);
    unit_->setInsertPolicy(QComboBox::NoInsert);
    unit_->addItems(analogUnitChoices(texts.unit));
    unit_->setCurrentText(texts.unit);
    layout->addRow(loadString(TEXT_DISPLAY_UNIT), unit_);
}

void AnalogGroupBox::store(CQUORVISData& record) const {
    const AnalogChannelTexts texts{name_->text(), min_->text(), max_->text(),
                                   unit_ ? unit_->currentText() : QString()};
    applyAnalogChannel(record, channel_, texts, unit_ != nullptr);
}

} // namespace iomira
