#pragma once

#include <QString>

#include <optional>

namespace iomira {

// What the operator is told once when the event log stops writing.
struct LogPauseNotice {
    QString folder;
    // Free space of the folder's file system at that moment; empty when it could not be read.
    std::optional<quint64> availableBytes;
    // 0: the free space fell below the limit; otherwise the errno of the write that failed.
    int error = 0;
};

// The notice in the user's language, with the folder and the free space in MB.
QString logPauseMessage(const LogPauseNotice& notice);

// Bytes as MB with one decimal ("152.3"), as the notice and the log line write them.
QString megabytesText(quint64 bytes);

} // namespace iomira
