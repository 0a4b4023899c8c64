#pragma once
// What a long run watches of its own process and files: resident memory, open descriptors and
// the bytes a folder holds.

#include <cstdint>
#include <string>

namespace iomira::bench {

// VmRSS of this process in kB, or -1.
long residentKb();

struct Descriptors {
    int total = 0;
    int sockets = 0;
};
// This process's open descriptors, without the one the listing itself holds.
Descriptors openDescriptors();

// The bytes of the regular files under `folder`, at any depth; 0 when it is missing.
int64_t folderBytes(const std::string& folder);

} // namespace iomira::bench
