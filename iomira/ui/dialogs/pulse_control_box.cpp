#include "ui/dialogs/pulse_control_box.h"

#include "app/pulse_settings.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/dialogs/pulse_picture.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

namespace iomira {

PulseControlBox::PulseControlBox(int outputs, CQUORVISData& edited, QWidget* parent)
    : QGroupBox(loadString(TEXT_PULSE_CONTROL), parent), edited_(edited),
      list_(new QListWidget(this)), level_(new QComboBox(this)), length_(new QLineEdit(this)),
      picture_(new QLabel(this)) {
    list_->setMinimumWidth(170);
    for (int i = 0; i < outputs; ++i)
        list_->addItem(pulseLineText(edited_, i));
    level_->addItems(
        {loadString(TEXT_MAIL_DISABLE), loadString(TEXT_PULSE_LOW), loadString(TEXT_PULSE_HIGH)});
    // Whole milliseconds only; the range is enforced when the value is stored.
    length_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,6}")), length_));
    length_->setMaximumWidth(80);
    picture_->setFixedSize(kPulsePictureWidth, kPulsePictureHeight);
    picture_->setFrameShape(QFrame::StyledPanel);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(loadString(TEXT_PULSE_LEVEL), this), 0, 0);
    fields->addWidget(level_, 0, 1, 1, 2);
    fields->addWidget(new QLabel(loadString(TEXT_PULSE_DURATION), this), 1, 0);
    fields->addWidget(length_, 1, 1);
    fields->addWidget(new QLabel(loadString(TEXT_PULSE_RANGE), this), 1, 2);
    fields->addWidget(picture_, 2, 0, 1, 3, Qt::AlignLeft);
    fields->setRowStretch(3, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(fields);

    connect(list_, &QListWidget::currentRowChanged, this, &PulseControlBox::showOutput);
    connect(level_, &QComboBox::activated, this, &PulseControlBox::levelChosen);
    connect(length_, &QLineEdit::textEdited, this, &PulseControlBox::lengthTyped);
    connect(length_, &QLineEdit::editingFinished, this,
            [this] { showOutput(list_->currentRow()); });
    list_->setEnabled(outputs > 0);
    if (outputs > 0)
        list_->setCurrentRow(0);
    else
        showOutput(-1);
}

void PulseControlBox::showOutput(int output) {
    const bool valid = output >= 0;
    const PulseLevel level = valid ? pulseLevel(edited_, output) : PulseLevel::Disable;
    const QSignalBlocker blockLevel(level_);
    level_->setCurrentIndex(static_cast<int>(level));
    level_->setEnabled(valid);
    length_->setText(
        QString::number(valid ? shownPulseLength(edited_, output) : kUnpulsedLengthMs));
    length_->setEnabled(level != PulseLevel::Disable);
    picture_->setPixmap(pulsePicture(level));
}

void PulseControlBox::levelChosen() {
    const int output = list_->currentRow();
    if (output < 0) return;
    applyPulse(edited_, output, static_cast<PulseLevel>(level_->currentIndex()), length_->text());
    refreshLine(output);
    showOutput(output);
}

void PulseControlBox::lengthTyped() {
    const int output = list_->currentRow();
    if (output < 0) return;
    applyPulse(edited_, output, pulseLevel(edited_, output), length_->text());
    refreshLine(output);
}

void PulseControlBox::refreshLine(int output) {
    list_->item(output)->setText(pulseLineText(edited_, output));
}

} // namespace iomira
