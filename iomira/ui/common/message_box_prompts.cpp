#include "ui/common/message_box_prompts.h"

#include "core/string_table.h"
#include "core/texts.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace iomira {

namespace {

// Button texts follow the program's language, not the system's.
void localiseButtons(QMessageBox& box) {
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setText(loadString(TEXT_OK));
}

} // namespace

void MessageBoxPrompts::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, loadString(TEXT_APP_TITLE), text, QMessageBox::Ok,
                    parent_);
    localiseButtons(box);
    box.exec();
}

void MessageBoxPrompts::information(const QString& text) {
    QMessageBox box(QMessageBox::Information, loadString(TEXT_APP_TITLE), text, QMessageBox::Ok,
                    parent_);
    localiseButtons(box);
    box.exec();
}

void MessageBoxPrompts::warning(const QString& text) {
    QMessageBox box(QMessageBox::Warning, loadString(TEXT_APP_TITLE), text, QMessageBox::Ok,
                    parent_);
    localiseButtons(box);
    box.exec();
}

bool MessageBoxPrompts::ask(const QString& text, bool warning) {
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Question,
                    loadString(TEXT_APP_TITLE), text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace iomira
