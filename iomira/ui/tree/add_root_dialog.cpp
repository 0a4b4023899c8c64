#include "ui/tree/add_root_dialog.h"

#include "app/tree_edit_rules.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/common/message_box_prompts.h"
#include "ui/common/text_widths.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

CAddRoot::CAddRoot(QWidget* parent) : QDialog(parent), edit_(new QLineEdit(this)) {
    setWindowTitle(loadString(TEXT_APP_TITLE));
    edit_->setObjectName(QStringLiteral("GroupName"));
    edit_->setMinimumWidth(widthForCharacters(*edit_, 36));
    auto* form = new QFormLayout;
    form->addRow(loadString(TEXT_GROUP_NAME), edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(loadString(TEXT_OK));
    buttons->button(QDialogButtonBox::Cancel)->setText(loadString(TEXT_CANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddRoot::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddRoot::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString CAddRoot::name() const {
    return edit_->text();
}

void CAddRoot::accept() {
    const EditOutcome check = checkGroupName(name());
    if (!check.accepted) {
        MessageBoxPrompts(this).error(check.error);
        edit_->setFocus();
        return;
    }
    QDialog::accept();
}

bool CAddRoot::ask(QWidget* parent, QString& name) {
    CAddRoot dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    name = dialog.name();
    return true;
}

} // namespace iomira
