#pragma once

#include "notify/mail_account.h"
#include "notify/mail_account_verify.h"

#include <optional>

namespace iomira {

class SharedControllers;
class Store;

// The fields of the account dialog and of the wizard's second step, as entered.
struct MailAccountForm {
    QString name;
    QString mail;
    QString description;
    QString server;
    QString port;
    QString login;
    QString password;
    int32_t authType = MAIL_AUTH_NONE;
};

MailAccountForm formOf(const CMailAccount& account);

// Everything the server needs is filled in; otherwise the button does nothing.
bool formComplete(const MailAccountForm& form);

// The verification of a form as entered.
MailVerifyRequest requestOf(const MailAccountForm& form, int mode = MAIL_VERIFY_AS_ENTERED);

// The wizard's first guess from name, address and password: the login is the address's local
// part, the server "smtp." and its domain, port 465 with SSL. Nothing when a field is empty
// or the address has no "@".
std::optional<MailAccountForm> discoveryForm(const QString& name, const QString& mail,
                                             const QString& password, const QString& description);

// The account a verified form makes, with the server values the verification really used.
// An empty description takes the e-mail address.
CMailAccount accountOf(const MailAccountForm& form, const MailVerifyRequest& verified, int32_t id);

// Saves the account, then puts it into the map (replacing one with its id); false, with the
// map unchanged, when the store refused the write.
bool storeMailAccount(Store& store, CMailAccountMap& accounts, const CMailAccount& account);

// Deletes the account's key; then every controller that sends its e-mail notifications
// through the account has them switched off and is saved; then the account leaves the map.
// False, with nothing changed, when the key could not be deleted.
bool removeMailAccount(Store& store, CMailAccountMap& accounts, SharedControllers& controllers,
                       int32_t id);

} // namespace iomira
