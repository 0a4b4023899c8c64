#pragma once

#include "ui/dialogs/mail_account_step_dialog.h"

class QFormLayout;
class QLineEdit;

namespace iomira {

// The wizard's first step: name, address, password and description; the outgoing server is
// looked up from the address (port 465 with SSL, then the submission port with STARTTLS).
class CMailAccountAddDlgStep1 : public MailAccountStepDialog {
    Q_OBJECT
  public:
    CMailAccountAddDlgStep1(MailAccountContext& context, QWidget* parent = nullptr);

  private:
    void next();
    QLineEdit* addLine(QFormLayout* layout, int textId, const char* name);

    QLineEdit* name_;
    QLineEdit* mail_;
    QLineEdit* password_;
    QLineEdit* description_;
};

} // namespace iomira
