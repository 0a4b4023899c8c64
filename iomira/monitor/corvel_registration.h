#pragma once

#include "corvel/corvel.h"

#include <QString>

namespace iomira {

class CQUORVISData;

// Corvel takes hosts as UTF-16; QString's storage is exactly that.
inline const char16_t* corvelHost(const QString& host) {
    return reinterpret_cast<const char16_t*>(host.utf16());
}

// add_device with the record's connection settings; the result is Corvel's.
int registerInCorvel(corvel_window* window, const CQUORVISData& controller);
// update_device with the record's connection settings.
int updateInCorvel(const CQUORVISData& controller);
// disconnect_device then delete_device; 1 when both succeeded, else the failing result.
int removeFromCorvel(int deviceId);

} // namespace iomira
