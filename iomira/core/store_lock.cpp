#include "core/store_lock.h"

#include "core/string_table.h"
#include "core/system_error.h"
#include "core/texts.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace iomira {

QString StoreLock::lockPathFor(const QString& storePath) {
    return storePath + QStringLiteral(".lock");
}

std::unique_ptr<StoreLock> StoreLock::acquire(const QString& storePath, QString* reason) {
    const QByteArray path = QFile::encodeName(lockPathFor(storePath));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        *reason = systemErrorText(errno);
        return nullptr;
    }
    // A lock file left by an earlier run may have been opened up for others.
    ::fchmod(fd, 0600);
    // flock, not fcntl: closing another descriptor of the file must not drop it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        *reason = error == EWOULDBLOCK
                      ? loadString(TEXT_STORE_IN_USE).replace(QLatin1String("%s"), storePath)
                      : systemErrorText(error);
        return nullptr;
    }
    return std::unique_ptr<StoreLock>(new StoreLock(fd));
}

StoreLock::~StoreLock() {
    ::close(fd_);
}

} // namespace iomira
