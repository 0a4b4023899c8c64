#pragma once

#include "core/mail_account_keys.h"
#include "notify/mail_account.h"

namespace iomira {

// Writes the account's "MA_ID_%d" key, password enciphered, in one commit.
bool SaveMailAccount(Store& store, const CMailAccount& account);
// An account from its stored values; the password is deciphered with the stored server address.
CMailAccount readMailAccount(const KeyValues& values);

} // namespace iomira
