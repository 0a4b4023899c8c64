#include "ui/dialogs/mail_account_fields.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "notify/mail_account_password.h"
#include "ui/common/text_widths.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QRadioButton>

namespace iomira {

namespace {

// Three bytes per character at most in the code set: the stored password always fits.
constexpr int kPasswordMaxChars = kMailPasswordMaxBytes / 3;

} // namespace

MailAccountFields::MailAccountFields(QWidget* parent) : QWidget(parent) {
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    name_ = addLine(layout, TEXT_NAME, "Name");
    mail_ = addLine(layout, TEXT_MAIL_ADDRESS, "EmailAddress");
    description_ = addLine(layout, TEXT_DESCRIPTION, "Description");
    server_ = addLine(layout, TEXT_MAIL_SERVER, "OutgoingMailServer");
    port_ = addLine(layout, TEXT_MAIL_PORT, "ServerPort");
    port_->setValidator(new QIntValidator(1, 65535, port_));
    login_ = addLine(layout, TEXT_MAIL_USER, "UserName");
    password_ = addLine(layout, TEXT_MAIL_PASSWORD, "Password");
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(kPasswordMaxChars);

    auto* box = new QGroupBox(loadString(TEXT_MAIL_SECURITY), this);
    auto* row = new QHBoxLayout(box);
    security_ = new QButtonGroup(this);
    const std::pair<int, int> choices[] = {{TEXT_MAIL_DISABLE, MAIL_AUTH_NONE},
                                           {TEXT_MAIL_USE_SSL, MAIL_AUTH_SSL},
                                           {TEXT_MAIL_USE_TLS, MAIL_AUTH_TLS}};
    for (const auto& [textId, authType] : choices) {
        auto* radio = new QRadioButton(loadString(textId), box);
        radio->setObjectName(QStringLiteral("Security%1").arg(authType));
        security_->addButton(radio, authType);
        row->addWidget(radio);
    }
    row->addStretch();
    layout->addRow(box);
    clear();
}

QLineEdit* MailAccountFields::addLine(QFormLayout* layout, int textId, const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(widthForCharacters(*edit, 36));
    layout->addRow(loadString(textId), edit);
    return edit;
}

void MailAccountFields::setForm(const MailAccountForm& f) {
    name_->setText(f.name);
    mail_->setText(f.mail);
    description_->setText(f.description);
    server_->setText(f.server);
    port_->setText(f.port);
    login_->setText(f.login);
    password_->setText(f.password);
    // A stored type other than SSL or TLS connects without security, so it shows as such.
    const int shown =
        f.authType == MAIL_AUTH_SSL || f.authType == MAIL_AUTH_TLS ? f.authType : MAIL_AUTH_NONE;
    security_->button(shown)->setChecked(true);
}

MailAccountForm MailAccountFields::form() const {
    MailAccountForm f;
    f.name = name_->text();
    f.mail = mail_->text();
    f.description = description_->text();
    f.server = server_->text().trimmed();
    f.port = port_->text().trimmed();
    f.login = login_->text();
    f.password = password_->text();
    const int checked = security_->checkedId();
    f.authType = checked == MAIL_AUTH_SSL || checked == MAIL_AUTH_TLS ? checked : MAIL_AUTH_NONE;
    return f;
}

void MailAccountFields::clear() {
    setForm(MailAccountForm{});
}

} // namespace iomira
