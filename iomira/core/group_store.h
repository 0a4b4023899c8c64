#pragma once

#include "core/root_data.h"
#include "core/store.h"

namespace iomira {

QString groupKeyName(int rootId); // "ROOT_ID_%d"

bool saveGroup(Store& store, const CROOTData& group);
bool deleteGroup(Store& store, int rootId);

// Reads every group key into `groups`. The default group's name follows the current
// language when it still holds another language's default; with no group stored, the
// default group is created and saved. False (and nothing created) when the store could not
// be read: a busy or failing store must never look like an empty one.
bool loadGroups(Store& store, CROOTDataList& groups);

} // namespace iomira
