#pragma once

#include "ui/dialogs/mail_account_step_dialog.h"

namespace iomira {

class MailAccountFields;

// The wizard's second step: every server value entered by hand and verified as entered.
class CMailAccountAddDlgStep2 : public MailAccountStepDialog {
    Q_OBJECT
  public:
    CMailAccountAddDlgStep2(MailAccountContext& context, const MailAccountForm& initial,
                            QWidget* parent = nullptr);

  private:
    void next();

    MailAccountFields* fields_;
};

} // namespace iomira
