#include "ui/dialogs/mail_account_add_step2_dialog.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "ui/dialogs/mail_account_fields.h"

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

    QDialogButtonBox* buttons = nextCancelButtons();
    connect(buttons, &QDialogButtonBox::accepted, this, &CMailAccountAddDlgStep2::next);
    layout->addWidget(buttons);
}

void CMailAccountAddDlgStep2::next() {
    const MailAccountForm entered = fields_->form();
    if (!formComplete(entered)) return;
    verify(entered, MAIL_VERIFY_AS_ENTERED, loadString(TEXT_MAIL_VERIFYING));
}

} // namespace iomira
