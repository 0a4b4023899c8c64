#include "notify/manage_email_dialog_form.h"

#include "core/texts.h"

#include <algorithm>

namespace iomira {

EmailSettingsForm EmailSettingsForm::of(const CQUORVISData& c, bool accountExists) {
    EmailSettingsForm form;
    form.UseEmailNotification = c.UseEmailNotification == 1 ? 1 : 0;
    for (int i = 0; i < kDigitalPorts; ++i) {
        form.inputs[i] = c.UseInputEmailNotification[i] == 1 ? 1 : 0;
        form.outputs[i] = c.UseOutputEmailNotification[i] == 1 ? 1 : 0;
    }
    form.mailAccountId = accountExists ? c.MailAccountID : kNoMailAccount;
    form.mailTo = c.MailTo;
    form.subject = c.MailSubject;
    form.content = c.MailContent;
    return form;
}

int EmailSettingsForm::validate() const {
    if (UseEmailNotification != 1) return 0;
    if (mailAccountId == kNoMailAccount) return TEXT_SELECT_MAIL_ACCOUNT;
    if (mailTo.trimmed().isEmpty()) return TEXT_NM_ENTER_RECIPIENT;
    if (subject.isEmpty()) return TEXT_NM_ENTER_SUBJECT;
    if (content.isEmpty()) return TEXT_NM_ENTER_MESSAGE;
    const auto ticked = [](const std::array<int, kDigitalPorts>& ports) {
        return std::any_of(ports.begin(), ports.end(), [](int v) { return v == 1; });
    };
    if (!ticked(inputs) && !ticked(outputs)) return TEXT_NM_SELECT_PORTS;
    return 0;
}

void EmailSettingsForm::storeInto(CQUORVISData& c) const {
    c.UseEmailNotification = UseEmailNotification;
    if (UseEmailNotification != 1) return;
    c.UseInputEmailNotification = inputs;
    c.UseOutputEmailNotification = outputs;
    c.MailTo = mailTo;
    c.MailAccountID = mailAccountId;
    c.MailSubject = subject;
    c.MailContent = content;
}

bool samePortCounts(const CQUORVISData& a, const CQUORVISData& b) {
    return a.NumberOfPortInput == b.NumberOfPortInput &&
           a.NumberOfPortOutput == b.NumberOfPortOutput;
}

bool offersEmailSettings(const CQUORVISData& c, int rootId) {
    return c.RootID == rootId && (c.NumberOfPortInput > 0 || c.NumberOfPortOutput > 0);
}

std::vector<QString> knownRecipientLists(const std::vector<const CQUORVISData*>& controllers) {
    std::vector<QString> lists;
    for (const CQUORVISData* c : controllers) {
        if (c->MailTo.isEmpty()) continue;
        if (std::find(lists.begin(), lists.end(), c->MailTo) == lists.end())
            lists.push_back(c->MailTo);
    }
    return lists;
}

} // namespace iomira
