#include "ui/dialogs/controller_fields.h"

#include "core/device_family.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/common/text_widths.h"

#include <QComboBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>

namespace iomira {

namespace {

QLineEdit* numberField(int maximum, QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setValidator(new QIntValidator(0, maximum, edit));
    return edit;
}

QLineEdit* textField(QWidget* parent, const char* name, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    return edit;
}

} // namespace

void fillGroupList(QComboBox& list, const CROOTDataList& groups, int rootId) {
    list.clear();
    for (int index = 0; index < groups.size(); ++index) {
        const CROOTData* group = groups.GroupAt(index);
        if (!group) continue;
        list.addItem(group->RootName, group->RootID);
        if (group->RootID == rootId) list.setCurrentIndex(list.count() - 1);
    }
    if (list.findData(rootId) < 0) list.setCurrentIndex(-1);
}

int chosenGroup(const QComboBox& list) {
    return list.currentIndex() < 0 ? -1 : list.currentData().toInt();
}

ControllerFields::ControllerFields(QWidget* parent)
    : QWidget(parent), layout_(new QFormLayout(this)), type_(new QComboBox(this)),
      address_(textField(this, "Address", kHostAddrMaxLength)),
      port_(numberField(65535, this, "Port")), description_(textField(this, "Description", 256)),
      unitId_(numberField(255, this, "UnitId")), inputAddr_(numberField(65535, this, "InputAddr")),
      outputAddr_(numberField(65535, this, "OutputAddr")) {
    layout_->setContentsMargins(0, 0, 0, 0);
    type_->setObjectName(QStringLiteral("CommunicationType"));
    type_->addItem(loadString(TEXT_TCP_CLIENT));
    type_->addItem(loadString(TEXT_TCP_SERVER_CHOICE));
    address_->setMinimumWidth(widthForCharacters(*address_, 34));
    layout_->addRow(loadString(TEXT_COMMUNICATION_TYPE), type_);
    layout_->addRow(loadString(TEXT_NETWORK_ADDRESS), address_);
    layout_->addRow(loadString(TEXT_PORT_NUMBER), port_);
    layout_->addRow(loadString(TEXT_DESCRIPTION_LABEL), description_);
    layout_->addRow(loadString(TEXT_UNIT_ID), unitId_);
    layout_->addRow(loadString(TEXT_INPUT_BASE), inputAddr_);
    layout_->addRow(loadString(TEXT_OUTPUT_BASE), outputAddr_);
    connect(type_, &QComboBox::currentIndexChanged, this,
            &ControllerFields::followCommunicationType);
}

void ControllerFields::setForm(const ControllerForm& form) {
    type_->setCurrentIndex(form.server ? 1 : 0);
    address_->setText(form.address);
    port_->setText(form.port);
    description_->setText(form.description);
    unitId_->setText(form.unitId);
    inputAddr_->setText(form.inputAddr);
    outputAddr_->setText(form.outputAddr);
    followCommunicationType();
}

ControllerForm ControllerFields::form(const ControllerForm& base) const {
    ControllerForm form = base;
    form.server = type_->currentIndex() == 1;
    form.address = address_->text();
    form.port = port_->text();
    form.description = description_->text();
    form.unitId = unitId_->text();
    form.inputAddr = inputAddr_->text();
    form.outputAddr = outputAddr_->text();
    return form;
}

void ControllerFields::arrangeFor(int product) {
    const auto products = productChoices();
    const int family = product >= 0 && product < static_cast<int>(products.size())
                           ? products[product].deviceType
                           : FAMILY_GENERIC;
    showRow(unitId_, family == FAMILY_GENERIC);
    showRow(outputAddr_, family != FAMILY_RLX810 && family != FAMILY_RLX820);
}

void ControllerFields::insertRow(int row, const QString& label, QWidget* field) {
    layout_->insertRow(row, label, field);
}

void ControllerFields::showRow(QWidget* field, bool shown) {
    layout_->setRowVisible(field, shown);
}

void ControllerFields::followCommunicationType() {
    address_->setEnabled(type_->currentIndex() == 0);
}

} // namespace iomira
