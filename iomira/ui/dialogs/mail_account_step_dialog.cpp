#include "ui/dialogs/mail_account_step_dialog.h"

#include "core/store.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "notify/mail_account_verifier.h"
#include "ui/common/busy_window.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace iomira {

QString mailErrorSuffix(const QString& errorText) {
    return loadString(TEXT_MAIL_ERROR_SUFFIX).replace(QStringLiteral("%s"), errorText);
}

QDialogButtonBox* MailAccountStepDialog::nextCancelButtons() {
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* nextButton =
        buttons->addButton(loadString(TEXT_MAIL_NEXT), QDialogButtonBox::AcceptRole);
    nextButton->setObjectName(QStringLiteral("Next"));
    nextButton->setDefault(true);
    buttons->addButton(loadString(TEXT_CANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::rejected, this, &MailAccountStepDialog::reject);
    return buttons;
}

MailAccountStepDialog::MailAccountStepDialog(MailAccountContext& context, QWidget* parent)
    : QDialog(parent), context_(context), verifier_(new MailAccountVerifier(this)) {
    setWindowTitle(loadString(TEXT_MAIL_ADD_CAPTION));
    if (context_.prepareVerifier) context_.prepareVerifier(*verifier_);
    connect(verifier_, &MailAccountVerifier::verified, this, &MailAccountStepDialog::verified);
}

// The step cannot be left while its verification runs: the result still has to come back.
void MailAccountStepDialog::reject() {
    if (!verifier_->running()) QDialog::reject();
}

void MailAccountStepDialog::verify(const MailAccountForm& form, int mode, const QString& busyText) {
    form_ = form;
    if (!verifier_->VerifyMailAccount(requestOf(form, mode))) {
        context_.prompts.error(loadString(TEXT_THREAD_FAILED));
        return;
    }
    setBusy(true);
    ShowBusy(busyText, window()->frameGeometry());
}

void MailAccountStepDialog::verified(int wParam) {
    HideBusy();
    setBusy(false);
    const MailVerifyRequest& result = verifier_->result();
    if (wParam != MAIL_VERIFY_SUCCEEDED) {
        errorText_ = result.errorText;
        done(MAIL_STEP_FAILED);
        return;
    }
    const CMailAccount account = accountOf(form_, result, NewMailAccountId(context_.accounts));
    if (account.MailAccountId < 0 ||
        !storeMailAccount(context_.store, context_.accounts, account)) {
        // Verified but not kept: say so here and let the user try again or cancel.
        context_.prompts.error(loadString(TEXT_MAIL_SAVE_FAILED)
                                   .replace(QStringLiteral("%s"), context_.store.lastError()));
        return;
    }
    addedId_ = account.MailAccountId;
    done(MAIL_STEP_ADDED);
}

void MailAccountStepDialog::setBusy(bool busy) {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(!busy);
}

} // namespace iomira
