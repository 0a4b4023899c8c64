#include "core/store_files.h"

#include <QFile>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

namespace iomira {

namespace {

constexpr mode_t kOwnerBits = 0700;

} // namespace

QStringList StoreFiles::sideFileSuffixes() {
    return {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};
}

StoreFiles::StoreFiles(const QString& storePath) {
    QStringList paths{storePath};
    for (const QString& suffix : sideFileSuffixes())
        paths << storePath + suffix;
    for (const QString& path : paths) {
        struct stat info {};
        const bool existed = ::lstat(QFile::encodeName(path).constData(), &info) == 0;
        found_.push_back({path, existed, static_cast<mode_t>(info.st_mode & 07777)});
    }
}

void StoreFiles::makePrivate() const {
    // Only the rights of others go: a file its owner made read-only stays so and is refused.
    // A file of another owner keeps its mode, as only its owner can change it.
    for (const Found& file : found_) {
        if (file.existed && (file.mode & ~kOwnerBits) != 0)
            ::chmod(QFile::encodeName(file.path).constData(), file.mode & kOwnerBits);
    }
}

void StoreFiles::restore() const {
    for (const Found& file : found_) {
        const QByteArray path = QFile::encodeName(file.path);
        if (!file.existed) {
            ::unlink(path.constData());
        } else if ((file.mode & ~kOwnerBits) != 0) {
            ::chmod(path.constData(), file.mode);
        }
    }
}

} // namespace iomira
