#include "notify/mail_account_rules.h"

#include "core/controller_keys.h"
#include "core/mail_account_keys.h"
#include "monitor/shared_controllers.h"
#include "notify/mail_account_store.h"

#include <vector>

namespace iomira {

MailAccountForm formOf(const CMailAccount& a) {
    return {a.MailAccountName, a.AccountMail, a.MailAccountComment, a.MailServerAddress,
            a.MailServerPort,  a.AccountID,   a.Password,           a.AuthType};
}

bool formComplete(const MailAccountForm& f) {
    return !f.name.isEmpty() && !f.mail.isEmpty() && !f.server.isEmpty() && !f.port.isEmpty() &&
           !f.login.isEmpty() && !f.password.isEmpty();
}

MailVerifyRequest requestOf(const MailAccountForm& f, int mode) {
    MailVerifyRequest r;
    r.mode = mode;
    r.AuthType = f.authType;
    r.login = f.login;
    r.server = f.server;
    r.portText = f.port;
    r.password = f.password;
    return r;
}

std::optional<MailAccountForm> discoveryForm(const QString& name, const QString& mail,
                                             const QString& password, const QString& description) {
    const qsizetype at = mail.indexOf(QLatin1Char('@'));
    if (name.isEmpty() || mail.isEmpty() || password.isEmpty() || at < 0) return std::nullopt;
    MailAccountForm f;
    f.name = name;
    f.mail = mail;
    f.description = description.isEmpty() ? mail : description;
    f.login = mail.left(at);
    f.server = QStringLiteral("smtp.") + mail.mid(at + 1);
    f.port = QStringLiteral("465");
    f.password = password;
    f.authType = MAIL_AUTH_SSL;
    return f;
}

CMailAccount accountOf(const MailAccountForm& f, const MailVerifyRequest& verified, int32_t id) {
    CMailAccount a;
    a.MailAccountId = id;
    a.MailAccountName = f.name;
    a.AccountMail = f.mail;
    a.MailAccountComment = f.description.isEmpty() ? f.mail : f.description;
    a.MailServerAddress = verified.server;
    a.MailServerPort = verified.portText;
    a.AccountID = verified.login;
    a.Password = verified.password;
    a.AuthType = verified.AuthType;
    return a;
}

bool storeMailAccount(Store& store, CMailAccountMap& accounts, const CMailAccount& account) {
    if (!SaveMailAccount(store, account)) return false;
    accounts.insert(account);
    return true;
}

bool removeMailAccount(Store& store, CMailAccountMap& accounts, SharedControllers& controllers,
                       int32_t id) {
    if (!deleteMailAccount(store, id)) return false;
    std::vector<int> users;
    controllers.table().forEach([&](const CQUORVISData& c) {
        if (c.MailAccountID == id && c.UseEmailNotification == 1) users.push_back(c.DeviceId);
    });
    for (int deviceId : users) {
        controllers.edit(deviceId, [](CQUORVISData& c) {
            c.MailAccountID = 0;
            c.UseEmailNotification = 0;
        });
        if (const CQUORVISData* c = controllers.table().find(deviceId)) saveController(store, *c);
    }
    accounts.remove(id);
    return true;
}

} // namespace iomira
