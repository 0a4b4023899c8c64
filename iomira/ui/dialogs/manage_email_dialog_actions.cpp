// The e-mail settings dialog's selection rules, "Apply" and the sample mails.

#include "ui/dialogs/manage_email_dialog.h"

#include "core/controller_keys.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace iomira {

namespace {

constexpr int kNotSaved = 6301; // "The settings could not be saved: %s"

int itemId(const QListWidgetItem* item) {
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

} // namespace

bool CManageEmailDlg::shownDiffersFromStored() const {
    const CQUORVISData* c = controller(shownId_);
    if (!c) return false;
    return !(shownForm() == EmailSettingsForm::of(*c, tables_.accounts.contains(c->MailAccountID)));
}

std::vector<int> CManageEmailDlg::selectedIds() const {
    if (multiMode_->isChecked()) return multiSelection_;
    const int id = itemId(single_->currentItem());
    return id < 0 ? std::vector<int>{} : std::vector<int>{id};
}

void CManageEmailDlg::singleChanged(QListWidgetItem* current, QListWidgetItem* previous) {
    if (previous && itemId(previous) == shownId_ && shownDiffersFromStored() &&
        tables_.prompts.ask(loadString(TEXT_NM_SAVE_CHANGES)) && !validateAndStore({shownId_})) {
        // The values stay on screen with the failed check's message; the selection goes back.
        single_->blockSignals(true);
        single_->setCurrentItem(previous);
        single_->blockSignals(false);
        return;
    }
    const CQUORVISData* c = controller(itemId(current));
    showForm(c ? EmailSettingsForm::of(*c, tables_.accounts.contains(c->MailAccountID))
               : EmailSettingsForm{},
             c);
}

void CManageEmailDlg::multiChanged() {
    std::vector<int> now;
    for (int row = 0; row < multi_->count(); ++row)
        if (multi_->item(row)->isSelected()) now.push_back(itemId(multi_->item(row)));
    std::erase_if(multiSelection_,
                  [&](int id) { return std::find(now.begin(), now.end(), id) == now.end(); });
    for (int id : now) {
        if (std::find(multiSelection_.begin(), multiSelection_.end(), id) != multiSelection_.end())
            continue;
        const CQUORVISData* added = controller(id);
        const CQUORVISData* first =
            multiSelection_.empty() ? nullptr : controller(multiSelection_.front());
        if (added && first && !samePortCounts(*added, *first)) {
            tables_.prompts.error(loadString(TEXT_NM_PORT_COUNT_DIFFERS));
            multi_->blockSignals(true);
            for (int row = 0; row < multi_->count(); ++row)
                if (itemId(multi_->item(row)) == id) multi_->item(row)->setSelected(false);
            multi_->blockSignals(false);
            continue;
        }
        multiSelection_.push_back(id);
    }
    const CQUORVISData* shown =
        multiSelection_.empty() ? nullptr : controller(multiSelection_.front());
    if (shown && shown->DeviceId == shownId_) return;
    showForm(shown ? EmailSettingsForm::of(*shown, tables_.accounts.contains(shown->MailAccountID))
                   : EmailSettingsForm{},
             shown);
}

void CManageEmailDlg::modeToggled(bool multi) {
    if (shownDiffersFromStored() && !tables_.prompts.ask(loadString(TEXT_NM_DISCARD_ON_SWITCH))) {
        multiMode_->blockSignals(true);
        multiMode_->setChecked(!multi);
        multiMode_->blockSignals(false);
        return;
    }
    for (QListWidget* list : {single_, multi_}) {
        list->blockSignals(true);
        list->clearSelection();
        list->setCurrentItem(nullptr);
        list->blockSignals(false);
    }
    multiSelection_.clear();
    single_->setVisible(!multi);
    multi_->setVisible(multi);
    showForm({}, nullptr);
}

void CManageEmailDlg::apply() {
    const std::vector<int> ids = selectedIds();
    if (ids.empty()) {
        tables_.prompts.warning(loadString(TEXT_NM_SELECT_CONTROLLERS));
        notify_->setChecked(false);
        return;
    }
    if (tables_.prompts.ask(loadString(TEXT_CHANGE_SETTINGS_QUESTION))) validateAndStore(ids);
}

// Each record changes only once the store holds it, so the two never disagree.
bool CManageEmailDlg::validateAndStore(const std::vector<int>& ids) {
    const EmailSettingsForm form = shownForm();
    if (const int failed = form.validate()) {
        tables_.prompts.warning(loadString(failed));
        return false;
    }
    for (int id : ids) {
        const CQUORVISData* current = controller(id);
        if (!current) continue;
        CQUORVISData updated = *current;
        form.storeInto(updated);
        if (!saveController(tables_.store, updated)) {
            tables_.prompts.error(
                loadString(kNotSaved).replace(QLatin1String("%s"), tables_.store.lastError()));
            return false;
        }
        tables_.controllers.edit(id, [&](CQUORVISData& c) { form.storeInto(c); });
    }
    fillRecipientLists();
    return true;
}

void CManageEmailDlg::sendSample() {
    SampleMailForm form;
    const EmailSettingsForm shown = shownForm();
    form.mailTo = shown.mailTo;
    form.mailAccountId = shown.mailAccountId;
    form.subject = shown.subject;
    form.content = shown.content;
    const std::vector<int> ids = selectedIds();
    form.controller = ids.empty() ? nullptr : controller(ids.front());
    const std::vector<CMailData> mails = composeSampleMails(form, QDateTime::currentDateTime());
    if (mails.empty()) {
        tables_.prompts.warning(loadString(TEXT_NM_ENTER_RECIPIENT));
        return;
    }
    for (const CMailData& mail : mails)
        mailThread_->AddMail(mail);
    samplesPending_ += static_cast<int>(mails.size());
    sample_->setEnabled(false);
    if (tables_.showBusy) tables_.showBusy(this, loadString(TEXT_NM_SENDING_SAMPLE));
}

void CManageEmailDlg::sampleReported(const MailReport& report) {
    --samplesPending_;
    if (tables_.hideBusy) tables_.hideBusy();
    bool error = false;
    const QString message = sampleReportText(report, error);
    if (error)
        tables_.prompts.error(message);
    else
        tables_.prompts.information(message);
    if (samplesPending_ > 0) {
        if (tables_.showBusy) tables_.showBusy(this, loadString(TEXT_NM_SENDING_SAMPLE));
        return;
    }
    samplesPending_ = 0;
    sample_->setEnabled(true);
}

} // namespace iomira
