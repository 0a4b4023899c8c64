#include "notify/mail_account_store.h"

#include "notify/mail_account_password.h"

namespace iomira {

namespace {
const QString kId = QStringLiteral("MailAccountId");
const QString kName = QStringLiteral("MailAccountName");
const QString kServer = QStringLiteral("MailServerAddress");
const QString kPort = QStringLiteral("MailServerPort");
const QString kMail = QStringLiteral("AccountMail");
const QString kLogin = QStringLiteral("AccountID");
const QString kPassword = QStringLiteral("Password");
const QString kComment = QStringLiteral("MailAccountComment");
const QString kAuthType = QStringLiteral("AuthType");
} // namespace

bool SaveMailAccount(Store& store, const CMailAccount& a) {
    const std::vector<StoreValue> values{
        StoreValue::dwordValue(kId, a.MailAccountId),
        StoreValue::textValue(kName, a.MailAccountName),
        StoreValue::textValue(kServer, a.MailServerAddress),
        StoreValue::textValue(kPort, a.MailServerPort),
        StoreValue::textValue(kMail, a.AccountMail),
        StoreValue::textValue(kLogin, a.AccountID),
        StoreValue::binaryValue(kPassword, encipherMailPassword(a.Password, a.MailServerAddress)),
        StoreValue::textValue(kComment, a.MailAccountComment),
        StoreValue::dwordValue(kAuthType, a.AuthType),
    };
    return store.writeValues(mailAccountKeyName(a.MailAccountId), values);
}

CMailAccount readMailAccount(const KeyValues& v) {
    CMailAccount a;
    a.MailAccountId = v.dword(kId, 0);
    a.MailAccountName = v.text(kName);
    a.MailServerAddress = v.text(kServer);
    a.MailServerPort = v.text(kPort);
    a.AccountMail = v.text(kMail);
    a.AccountID = v.text(kLogin);
    a.Password = decipherMailPassword(v.binary(kPassword), a.MailServerAddress);
    a.MailAccountComment = v.text(kComment);
    a.AuthType = v.dword(kAuthType, 0);
    return a;
}

} // namespace iomira
