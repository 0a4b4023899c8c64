#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace iomira {

// Size and free space of the file system that holds a folder, in bytes. `availableBytes` is
// what an ordinary user may still write (the reserve of the administrator excluded).
struct DiskSpace {
    quint64 totalBytes = 0;
    quint64 availableBytes = 0;
};

// Asks the system about the file system of `folder`; empty when it cannot tell.
using DiskSpaceProbe = std::function<std::optional<DiskSpace>(const QString& folder)>;

std::optional<DiskSpace> probeDiskSpace(const QString& folder);

} // namespace iomira
