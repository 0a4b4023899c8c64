#pragma once

namespace iomira {

// Raises the process's limit of open descriptors to the highest the system allows, since each
// controller's connection is one. Returns the limit now in force; -1 when it cannot be read.
long raiseDescriptorLimit();

} // namespace iomira
