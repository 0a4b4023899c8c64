#include "ui/dialogs/mail_account_setting_dialog.h"
#include "ui/common/dialog_buttons.h"

#include "core/store.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "notify/mail_account_verifier.h"
#include "ui/common/busy_window.h"
#include "ui/common/message_box_prompts.h"
#include "ui/dialogs/mail_account_add_step1_dialog.h"
#include "ui/dialogs/mail_account_add_step2_dialog.h"
#include "ui/dialogs/mail_account_fields.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

CMailAccountSetting::CMailAccountSetting(MailAccountContext& context, QWidget* parent)
    : QDialog(parent), context_(context), verifier_(new MailAccountVerifier(this)) {
    setObjectName(QStringLiteral("CMailAccountSetting"));
    setWindowTitle(loadString(TEXT_MAIL_ACCOUNT_SETTING));
    if (context_.prepareVerifier) context_.prepareVerifier(*verifier_);
    connect(verifier_, &MailAccountVerifier::verified, this, &CMailAccountSetting::modified);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(loadString(TEXT_MAIL_ACCOUNTS), this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("Accounts"));
    list_->setMinimumWidth(200);
    left->addWidget(list_);

    auto* right = new QVBoxLayout;
    fields_ = new MailAccountFields(this);
    right->addWidget(fields_);
    auto* row = new QHBoxLayout;
    add_ = makeDialogButton(TEXT_ADD, this, "Add");
    delete_ = makeDialogButton(TEXT_DELETE, this, "Delete");
    modify_ = makeDialogButton(TEXT_MODIFY_BUTTON, this, "Modify");
    row->addStretch();
    for (QPushButton* b : {add_, delete_, modify_})
        row->addWidget(b);
    right->addLayout(row);
    right->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* closeRow = new QDialogButtonBox(this);
    closeRow->addButton(loadString(TEXT_CLOSE), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Close"));
    connect(closeRow, &QDialogButtonBox::rejected, this, &CMailAccountSetting::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(closeRow);

    connect(list_, &QListWidget::currentRowChanged, this, &CMailAccountSetting::showSelected);
    connect(add_, &QPushButton::clicked, this, &CMailAccountSetting::addAccount);
    connect(delete_, &QPushButton::clicked, this, &CMailAccountSetting::deleteAccount);
    connect(modify_, &QPushButton::clicked, this, &CMailAccountSetting::modifyAccount);
    refill(-1);
}

// The dialog stays until a running verification has reported back.
void CMailAccountSetting::reject() {
    if (!verifier_->running()) QDialog::reject();
}

// Lists the accounts in map order; `selectId` is selected when present, else the first one.
void CMailAccountSetting::refill(int32_t selectId) {
    QSignalBlocker quiet(list_);
    list_->clear();
    int selectRow = 0;
    context_.accounts.forEach([&](const CMailAccount& a) {
        auto* item = new QListWidgetItem(a.MailAccountComment, list_);
        item->setData(Qt::UserRole, a.MailAccountId);
        if (a.MailAccountId == selectId) selectRow = list_->count() - 1;
    });
    if (list_->count() > 0) list_->setCurrentRow(selectRow);
    showSelected();
}

int32_t CMailAccountSetting::selectedId() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void CMailAccountSetting::showSelected() {
    const CMailAccount* account = context_.accounts.find(selectedId());
    if (account) {
        fields_->setForm(formOf(*account));
    } else {
        fields_->clear();
    }
    fields_->setEnabled(account != nullptr);
}

void CMailAccountSetting::addAccount() {
    CMailAccountAddDlgStep1 step1(context_, this);
    const int result = step1.exec();
    if (result == MAIL_STEP_ADDED) {
        context_.prompts.information(loadString(TEXT_MAIL_ADDED));
        refill(step1.addedId());
    } else if (result == MAIL_STEP_FAILED) {
        context_.prompts.warning(loadString(TEXT_MAIL_LOOKUP_FAILED) +
                                 mailErrorSuffix(step1.errorText()));
        runStep2(step1.form());
    }
}

// Step 2 comes back after every failed try, with what was entered, until it succeeds or
// the user cancels.
void CMailAccountSetting::runStep2(MailAccountForm form) {
    for (;;) {
        CMailAccountAddDlgStep2 step2(context_, form, this);
        const int result = step2.exec();
        if (result == MAIL_STEP_ADDED) {
            context_.prompts.information(loadString(TEXT_MAIL_ADDED));
            refill(step2.addedId());
            return;
        }
        if (result != MAIL_STEP_FAILED) return;
        context_.prompts.error(loadString(TEXT_MAIL_ADD_FAILED) +
                               mailErrorSuffix(step2.errorText()));
        form = step2.form();
    }
}

void CMailAccountSetting::modifyAccount() {
    const int32_t id = selectedId();
    if (!context_.accounts.find(id)) return;
    modifying_ = fields_->form();
    if (!formComplete(modifying_)) return;
    modifyingId_ = id;
    if (!verifier_->VerifyMailAccount(requestOf(modifying_))) {
        context_.prompts.error(loadString(TEXT_THREAD_FAILED));
        return;
    }
    setBusy(true);
    ShowBusy(loadString(TEXT_MAIL_VERIFYING), window()->frameGeometry());
}

void CMailAccountSetting::modified(int wParam) {
    HideBusy();
    setBusy(false);
    const MailVerifyRequest& result = verifier_->result();
    if (wParam != MAIL_VERIFY_SUCCEEDED) {
        context_.prompts.error(loadString(TEXT_MAIL_MODIFY_FAILED) +
                               mailErrorSuffix(result.errorText));
    } else if (!storeMailAccount(context_.store, context_.accounts,
                                 accountOf(modifying_, result, modifyingId_))) {
        context_.prompts.error(loadString(TEXT_MAIL_SAVE_FAILED)
                                   .replace(QStringLiteral("%s"), context_.store.lastError()));
    } else {
        context_.prompts.information(loadString(TEXT_MAIL_MODIFIED));
    }
    refill(modifyingId_);
}

void CMailAccountSetting::deleteAccount() {
    const int32_t id = selectedId();
    if (!context_.accounts.find(id)) {
        context_.prompts.error(loadString(TEXT_SELECT_MAIL_ACCOUNT));
        return;
    }
    if (!context_.prompts.ask(loadString(TEXT_MAIL_DELETE_QUESTION))) return;
    if (!removeMailAccount(context_.store, context_.accounts, context_.controllers, id)) {
        context_.prompts.error(loadString(TEXT_MAIL_DELETE_FAILED)
                                   .replace(QStringLiteral("%s"), context_.store.lastError()));
        return;
    }
    context_.prompts.information(loadString(TEXT_MAIL_DELETED));
    refill(-1);
}

void CMailAccountSetting::setBusy(bool busy) {
    for (QWidget* w : std::initializer_list<QWidget*>{list_, fields_, add_, delete_, modify_})
        w->setEnabled(!busy);
    if (!busy && list_->count() == 0) fields_->setEnabled(false);
}

void showMailAccountSetting(Store& store, CMailAccountMap& accounts, SharedControllers& controllers,
                            QWidget* parent) {
    MessageBoxPrompts prompts(parent);
    MailAccountContext context{store, accounts, controllers, prompts, {}};
    CMailAccountSetting dialog(context, parent);
    dialog.exec();
}

} // namespace iomira
