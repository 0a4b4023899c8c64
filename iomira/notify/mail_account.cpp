#include "notify/mail_account.h"

#include "core/random_id.h"

namespace iomira {

void CMailAccountMap::insert(const CMailAccount& account) {
    accounts_[account.MailAccountId] = std::make_unique<CMailAccount>(account);
}

CMailAccount* CMailAccountMap::find(int32_t id) const {
    auto it = accounts_.find(id);
    return it == accounts_.end() ? nullptr : it->second.get();
}

bool CMailAccountMap::remove(int32_t id) {
    return accounts_.erase(id) != 0;
}

int32_t NewMailAccountId(const CMailAccountMap& accounts) {
    return drawFreeId(0, 32767, [&accounts](int id) { return accounts.contains(id); });
}

} // namespace iomira
