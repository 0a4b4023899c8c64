#include "process_figures.h"

#include <dirent.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace iomira::bench {

long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

Descriptors openDescriptors() {
    Descriptors out;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return out;
    const int own = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == own) continue;
        ++out.total;
        char target[64] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        if (readlink(link.c_str(), target, sizeof target - 1) > 0 &&
            std::string(target).rfind("socket:", 0) == 0)
            ++out.sockets;
    }
    closedir(dir);
    return out;
}

int64_t folderBytes(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int64_t bytes = 0;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError)) {
            const auto size = it->file_size(sizeError);
            if (!sizeError) bytes += int64_t(size);
        }
    }
    return bytes;
}

} // namespace iomira::bench
