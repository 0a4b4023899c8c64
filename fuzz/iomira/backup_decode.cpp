// One input is a backup file as the restore command reads it. What it yields is written again;
// a file written that way must read back to itself.
#include "app/backup_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace iomira;
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const BackupReadOutcome read = decodeBackup(file);
    if (read.status != BackupReadStatus::Ok) {
        if (read.message.isEmpty()) __builtin_trap();
        return 0;
    }
    QString error;
    const QByteArray written = encodeBackup(read.contents, &error);
    if (written.isEmpty()) return 0; // repaired texts may have grown past a limit
    const BackupReadOutcome again = decodeBackup(written);
    if (again.status != BackupReadStatus::Ok) __builtin_trap();
    if (encodeBackup(again.contents, &error) != written) __builtin_trap();
    return 0;
}
