#pragma once

#include "notify/mail_account_rules.h"
#include "ui/dialogs/mail_account_context.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace iomira {

class MailAccountFields;
class MailAccountVerifier;

// "Email Account Setting": the accounts on the left, the selected one's fields on the right,
// and Add (the wizard), Delete and Modify. A modification is verified before it is kept.
class CMailAccountSetting : public QDialog {
    Q_OBJECT
  public:
    CMailAccountSetting(MailAccountContext& context, QWidget* parent = nullptr);

    void reject() override;

  private:
    void refill(int32_t selectId);
    void showSelected();
    int32_t selectedId() const;
    void addAccount();
    void runStep2(MailAccountForm form);
    void modifyAccount();
    void modified(int wParam);
    void deleteAccount();
    void setBusy(bool busy);

    MailAccountContext& context_;
    MailAccountVerifier* verifier_;
    QListWidget* list_;
    MailAccountFields* fields_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* modify_;
    MailAccountForm modifying_;
    int32_t modifyingId_ = -1;
};

// Opens the account dialog over `parent` on the program's accounts, with message boxes.
void showMailAccountSetting(Store& store, CMailAccountMap& accounts, SharedControllers& controllers,
                            QWidget* parent);

} // namespace iomira
