#include "ui/dialogs/add_manual_page.h"

#include "core/device_family.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/common/dialog_buttons.h"
#include "ui/dialogs/controller_fields.h"
#include "ui/dialogs/settings_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

CAddIODevices1::CAddIODevices1(const CROOTDataList& groups, int rootId, QWidget* parent)
    : QWidget(parent), product_(new QComboBox(this)), groups_(new QComboBox(this)),
      fields_(new ControllerFields(this)),
      settings_(makeDialogButton(TEXT_SETTINGS_BUTTON, this, "Settings")) {
    product_->setObjectName(QStringLiteral("Product"));
    product_->addItem(loadString(TEXT_PRODUCT_LABEL));
    for (const ProductChoice& choice : productChoices())
        product_->addItem(QString::fromLatin1(choice.name));
    groups_->setObjectName(QStringLiteral("Group"));
    fillGroupList(*groups_, groups, rootId);
    fields_->setForm(manualFormDefaults(rootId));

    fields_->insertRow(0, loadString(TEXT_PRODUCT_LABEL), product_);
    fields_->insertRow(1, loadString(TEXT_SELECT_GROUP), groups_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(settings_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fields_);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(product_, &QComboBox::currentIndexChanged, this, &CAddIODevices1::followProduct);
    connect(settings_, &QPushButton::clicked, this, &CAddIODevices1::openSettings);
    followProduct();
}

ControllerForm CAddIODevices1::form() const {
    ControllerForm base;
    base.product = product_->currentIndex() - 1; // the placeholder comes first
    base.rootId = chosenGroup(*groups_);
    return fields_->form(base);
}

CQUORVISData CAddIODevices1::record() const {
    CQUORVISData record = record_;
    applyManualForm(record, form());
    return record;
}

void CAddIODevices1::followProduct() {
    const int product = product_->currentIndex() - 1;
    settings_->setEnabled(product >= 0);
    fields_->arrangeFor(product);
    // Settings made for another product do not carry over.
    record_ = CQUORVISData();
    if (product >= 0) applyProductChoice(record_, productChoices()[product]);
}

void CAddIODevices1::openSettings() {
    CQUORVISData edited = record();
    if (runSettingsDialog(this, loadString(TEXT_ADD_IO_CONTROLLER), edited)) record_ = edited;
}

} // namespace iomira
