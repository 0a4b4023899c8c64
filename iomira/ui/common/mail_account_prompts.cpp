#include "ui/common/mail_account_prompts.h"

#include "core/texts.h"
#include "core/string_table.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace iomira {

namespace {

void show(QMessageBox::Icon icon, const QString& text, QWidget* parent) {
    QMessageBox box(icon, loadString(TEXT_APP_TITLE), text, QMessageBox::Ok, parent);
    // Button texts follow the program's language, not the system's.
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setText(loadString(TEXT_OK));
    box.exec();
}

} // namespace

void MailAccountMessageBoxes::information(const QString& text) {
    show(QMessageBox::Information, text, parent_);
}

void MailAccountMessageBoxes::warning(const QString& text) {
    show(QMessageBox::Warning, text, parent_);
}

void MailAccountMessageBoxes::error(const QString& text) {
    show(QMessageBox::Critical, text, parent_);
}

bool MailAccountMessageBoxes::ask(const QString& text) {
    QMessageBox box(QMessageBox::Question, loadString(TEXT_APP_TITLE), text,
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace iomira
