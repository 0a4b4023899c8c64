#pragma once

#include "core/quorvis_data.h"
#include "core/store.h"

#include <vector>

namespace iomira {

QString controllerKeyName(int deviceId); // "ID_%d"

// The values of a controller key in the order they are written, for the record's family.
std::vector<StoreValue> controllerValues(const CQUORVISData& record);
// A record from stored values, with the load defaults and rules (old port count, unit id of
// the RLX families, output polling off where the family has no polled outputs).
CQUORVISData readController(const KeyValues& values);

bool saveController(Store& store, const CQUORVISData& record);
bool deleteController(Store& store, int deviceId);

} // namespace iomira
