#pragma once

#include "notify/mail_account_rules.h"
#include "ui/dialogs/mail_account_context.h"

#include <QDialog>

class QDialogButtonBox;

namespace iomira {

class MailAccountVerifier;

// What a wizard step ends with: exec() gives Added, QDialog::Rejected (cancelled) or Failed.
enum MailStepResult { MAIL_STEP_ADDED = QDialog::Accepted, MAIL_STEP_FAILED = 2 };

// The "[Error: %s]" tail that follows a failure message.
QString mailErrorSuffix(const QString& errorText);

// A step of the add wizard: verifies what was entered on a worker thread, with the busy
// window shown and the step's controls disabled, and adds the account once it is verified.
class MailAccountStepDialog : public QDialog {
    Q_OBJECT
  public:
    MailAccountStepDialog(MailAccountContext& context, QWidget* parent);

    // The values entered, for the next step or another try.
    const MailAccountForm& form() const { return form_; }
    QString errorText() const { return errorText_; }
    // The account added by a successful step.
    int32_t addedId() const { return addedId_; }

    void reject() override;

  protected:
    // "Next" (the default button) and "Cancel", which rejects; the step connects accepted().
    QDialogButtonBox* nextCancelButtons();
    void verify(const MailAccountForm& form, int mode, const QString& busyText);

  private:
    void verified(int wParam);
    void setBusy(bool busy);

    MailAccountContext& context_;
    MailAccountVerifier* verifier_;
    MailAccountForm form_;
    QString errorText_;
    int32_t addedId_ = -1;
};

} // namespace iomira
