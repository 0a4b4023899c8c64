#include "core/disk_space.h"

#include <QFile>

#include <cerrno>
#include <sys/statvfs.h>

namespace iomira {

std::optional<DiskSpace> probeDiskSpace(const QString& folder) {
    struct statvfs info {};
    const QByteArray path = QFile::encodeName(folder);
    int result = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        result = statvfs(path.constData(), &info);
        if (result == 0 || errno != EINTR) break;
    }
    if (result != 0) return std::nullopt;
    const quint64 block = info.f_frsize ? info.f_frsize : info.f_bsize;
    return DiskSpace{quint64(info.f_blocks) * block, quint64(info.f_bavail) * block};
}

} // namespace iomira
