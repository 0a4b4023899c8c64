#include "app/backup_file.h"

#include "monitor/error_text.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace iomira {

namespace {

bool failed(QString* error) {
    if (error) *error = socketErrorText(errno);
    return false;
}

// The bytes moved, up to `size` or the end of the file; -1 on a failure, errno telling why.
// What a signal interrupted is retried.
template <typename Call> qsizetype transfer(int fd, char* data, qsizetype size, Call call) {
    qsizetype moved = 0;
    while (moved < size) {
        const ssize_t done = call(fd, data + moved, static_cast<size_t>(size - moved));
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) return -1;
        if (done == 0) break;
        moved += done;
    }
    return moved;
}

} // namespace

bool writeBackupFile(const QString& path, const QByteArray& bytes, QString* error) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return failed(error);
    // An existing file keeps its mode through O_TRUNC; the passwords inside must not.
    const bool written =
        ::fchmod(fd, 0600) == 0 &&
        transfer(fd, const_cast<char*>(bytes.constData()), bytes.size(),
                 [](int f, char* d, size_t n) { return ::write(f, d, n); }) == bytes.size();
    const int writeErrno = errno;
    if (::close(fd) != 0 && written) return failed(error);
    if (!written) {
        errno = writeErrno;
        return failed(error);
    }
    return true;
}

bool readBackupFile(const QString& path, QByteArray& bytes, QString* error) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failed(error);
    struct stat info;
    bool done = ::fstat(fd, &info) == 0;
    // A backup states its length in 32 bits; anything longer is not one.
    if (done && info.st_size > static_cast<off_t>(UINT32_MAX)) {
        errno = EFBIG;
        done = false;
    }
    QByteArray content;
    if (done) {
        content.resize(static_cast<qsizetype>(info.st_size));
        const qsizetype got = transfer(fd, content.data(), content.size(),
                                       [](int f, char* d, size_t n) { return ::read(f, d, n); });
        done = got >= 0;
        content.resize(std::max<qsizetype>(got, 0));
    }
    const int readErrno = errno;
    ::close(fd);
    if (!done) {
        errno = readErrno;
        return failed(error);
    }
    bytes = content;
    return true;
}

} // namespace iomira
