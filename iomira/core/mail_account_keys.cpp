#include "core/mail_account_keys.h"

namespace iomira {

QString mailAccountKeyName(int accountId) {
    return QStringLiteral("MA_ID_%1").arg(accountId);
}

bool deleteMailAccount(Store& store, int accountId) {
    return store.deleteKey(mailAccountKeyName(accountId));
}

} // namespace iomira
