#pragma once

#include "notify/mail_account_rules.h"

#include <QWidget>

class QButtonGroup;
class QFormLayout;
class QLineEdit;

namespace iomira {

// The account's fields as the account dialog and the wizard's second step show them:
// name, address, description, server, port, user name, masked password and the security.
class MailAccountFields : public QWidget {
    Q_OBJECT
  public:
    explicit MailAccountFields(QWidget* parent = nullptr);

    void setForm(const MailAccountForm& form);
    MailAccountForm form() const;
    void clear();

  private:
    QLineEdit* addLine(QFormLayout* layout, int textId, const char* name);

    QLineEdit* name_;
    QLineEdit* mail_;
    QLineEdit* description_;
    QLineEdit* server_;
    QLineEdit* port_;
    QLineEdit* login_;
    QLineEdit* password_;
    QButtonGroup* security_;
};

} // namespace iomira
