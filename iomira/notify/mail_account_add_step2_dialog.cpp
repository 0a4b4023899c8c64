#include "mail_account_add_step2_dialog.h"

#include "mail_account_fields.h"
#include "mail_account_texts.h"
#include "string_table.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

CMailAccountAddDlgStep2::CMailAccountAddDlgStep2(MailAccountContext& context,
                                                 const MailAccountForm& initial, QWidget* parent)
    : MailAccountStepDialog(context, parent) {
    setObjectName(QStringLiteral("CMailAccountAddDlgStep2"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(loadString(TEXT_MAIL_STEP2_HINT), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    fields_ = new MailAccountFields(this);
    fields_->setForm(initial);
    layout->addWidget(fields_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* nextButton =
        buttons->addButton(loadString(TEXT_MAIL_NEXT), QDialogButtonBox::AcceptRole);
    nextButton->setObjectName(QStringLiteral("Next"));
    nextButton->setDefault(true);
    buttons->addButton(loadString(TEXT_MAIL_CANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CMailAccountAddDlgStep2::next);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMailAccountAddDlgStep2::reject);
    layout->addWidget(buttons);
}

void CMailAccountAddDlgStep2::next() {
    const MailAccountForm entered = fields_->form();
    if (!formComplete(entered)) return;
    verify(entered, MAIL_VERIFY_AS_ENTERED, loadString(TEXT_MAIL_VERIFYING));
}

} // namespace iomira
