#include "ui/dialogs/mail_account_add_step1_dialog.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "notify/mail_account_password.h"
#include "ui/common/text_widths.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

CMailAccountAddDlgStep1::CMailAccountAddDlgStep1(MailAccountContext& context, QWidget* parent)
    : MailAccountStepDialog(context, parent) {
    setObjectName(QStringLiteral("CMailAccountAddDlgStep1"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(loadString(TEXT_MAIL_STEP1_HINT), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* fields = new QWidget(this);
    auto* form = new QFormLayout(fields);
    form->setContentsMargins(0, 0, 0, 0);
    name_ = addLine(form, TEXT_NAME, "Name");
    mail_ = addLine(form, TEXT_MAIL_ADDRESS, "EmailAddress");
    password_ = addLine(form, TEXT_MAIL_PASSWORD, "Password");
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(kMailPasswordMaxBytes / 3);
    description_ = addLine(form, TEXT_DESCRIPTION, "Description");
    layout->addWidget(fields);

    QDialogButtonBox* buttons = nextCancelButtons();
    connect(buttons, &QDialogButtonBox::accepted, this, &CMailAccountAddDlgStep1::next);
    layout->addWidget(buttons);
    setMinimumWidth(widthForCharacters(*this, 64));
}

QLineEdit* CMailAccountAddDlgStep1::addLine(QFormLayout* layout, int textId, const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(widthForCharacters(*edit, 36));
    layout->addRow(loadString(textId), edit);
    return edit;
}

void CMailAccountAddDlgStep1::next() {
    const auto guess = discoveryForm(name_->text(), mail_->text().trimmed(), password_->text(),
                                     description_->text());
    if (!guess) return;
    verify(*guess, MAIL_VERIFY_DISCOVER, loadString(TEXT_MAIL_LOOKING_UP));
}

} // namespace iomira
