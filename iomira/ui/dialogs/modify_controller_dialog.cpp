#include "ui/dialogs/modify_controller_dialog.h"

#include "core/device_family.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/common/dialog_buttons.h"
#include "ui/common/text_widths.h"
#include "ui/dialogs/controller_fields.h"
#include "ui/dialogs/settings_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

CModifyDevices1Dlg::CModifyDevices1Dlg(UserPrompts& prompts, const CROOTDataList& groups,
                                       const CQUORVISData& record, QWidget* parent)
    : QDialog(parent), prompts_(prompts), original_(record), working_(record), edited_(record),
      shownForm_(formOf(record)), groups_(new QComboBox(this)), product_(new QComboBox(this)),
      fields_(new ControllerFields(this)) {
    setWindowTitle(loadString(TEXT_MODIFY));
    setMinimumWidth(widthForCharacters(*this, 66));
    groups_->setObjectName(QStringLiteral("Group"));
    fillGroupList(*groups_, groups, record.RootID);
    // The product is fixed for a registered controller; the list only tells its layout.
    product_->setObjectName(QStringLiteral("Product"));
    for (const ProductChoice& choice : productChoices())
        product_->addItem(QString::fromLatin1(choice.name));
    product_->setCurrentIndex(shownForm_.product);
    product_->setEnabled(false);
    product_->hide();
    fields_->setForm(shownForm_);
    fields_->arrangeFor(shownForm_.product);

    auto* settings = makeDialogButton(TEXT_SETTINGS_BUTTON, this, "Settings");
    auto* ok = makeDialogButton(TEXT_OK, this, "OK");
    auto* cancel = makeDialogButton(TEXT_CANCEL, this, "Cancel");
    fields_->insertRow(0, loadString(TEXT_SELECT_GROUP), groups_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(settings);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fields_);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(settings, &QPushButton::clicked, this, &CModifyDevices1Dlg::openSettings);
    connect(ok, &QPushButton::clicked, this, &CModifyDevices1Dlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CModifyDevices1Dlg::reject);
}

ControllerForm CModifyDevices1Dlg::form() const {
    ControllerForm base;
    base.product = product_->currentIndex();
    base.rootId = chosenGroup(*groups_);
    return fields_->form(base);
}

void CModifyDevices1Dlg::openSettings() {
    CQUORVISData edited = working_;
    if (runSettingsDialog(this, loadString(TEXT_MODIFY), edited)) working_ = edited;
}

void CModifyDevices1Dlg::accept() {
    const ControllerForm typed = form();
    if (const QString error = modifyFormError(typed); !error.isEmpty()) {
        prompts_.error(error);
        return;
    }
    edited_ = working_;
    portsChanged_ = applyModifyForm(edited_, typed);
    QDialog::accept();
}

void CModifyDevices1Dlg::reject() {
    // Typed changes count as changes too, not only those of the Settings dialog.
    const bool unchanged = CQUORVISData::Equals(original_, working_) && form() == shownForm_;
    if (unchanged || prompts_.ask(loadString(TEXT_CANCEL_CHANGES))) QDialog::reject();
}

} // namespace iomira
