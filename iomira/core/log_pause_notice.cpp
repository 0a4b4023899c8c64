#include "core/log_pause_notice.h"

#include "core/string_table.h"
#include "core/system_error.h"
#include "core/texts.h"

namespace iomira {

QString megabytesText(quint64 bytes) {
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

QString logPauseMessage(const LogPauseNotice& notice) {
    const QString free =
        notice.availableBytes ? megabytesText(*notice.availableBytes) : QStringLiteral("?");
    if (notice.error == 0) return loadString(TEXT_LOG_DISK_FULL).arg(notice.folder, free);
    return loadString(TEXT_LOG_WRITE_FAILED)
        .arg(systemErrorText(notice.error), notice.folder, free);
}

} // namespace iomira
