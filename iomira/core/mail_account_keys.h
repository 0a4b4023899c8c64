#pragma once

#include "core/store.h"

namespace iomira {

// Mail accounts live under "MA_ID_%d"; their values and the password cipher belong to the
// mail-account records, which read and write them through these keys.
QString mailAccountKeyName(int accountId);
bool deleteMailAccount(Store& store, int accountId);

} // namespace iomira
