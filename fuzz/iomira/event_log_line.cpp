// One input is the texts of one log entry: a controller's comment, its peer, a port's name and
// the entry's text, separated by 0x1F, after four bytes that choose the kind of entry, the
// port, the value and the connection state. The entry goes through the log into a fresh daily
// file, and the file is read back: the header, then the entry exactly as composed, or cut short
// at a whole character and still ended by its CR LF.
#include "core/event_log.h"
#include "core/local_text.h"
#include "core/log_entries.h"
#include "core/quorvis_data.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

using namespace iomira;

const QByteArray kHeader("Com Name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\tEtc\r\n");
const QDateTime kNow(QDate(2026, 3, 14), QTime(9, 26, 53));

struct Entry {
    int kind = 0;
    int port = -1;
    int value = LOG_VALUE_NONE;
    int state = -1;
    CQUORVISData controller;
    QString text;
};

QString field(const QByteArrayList& fields, int index) {
    return index < fields.size() ? QString::fromUtf8(fields[index]) : QString();
}

Entry readEntry(const uint8_t* data, size_t size) {
    Entry e;
    if (size < 4) return e;
    e.kind = data[0] % 5;
    e.port = static_cast<int8_t>(data[1]) % (kDigitalPorts + 2);
    e.value = data[2] % 4 - 1;
    e.state = data[3] % 7 - 1;
    const QByteArrayList fields =
        QByteArray(reinterpret_cast<const char*>(data) + 4, static_cast<qsizetype>(size - 4))
            .split('\x1f');
    e.controller.DeviceComment = field(fields, 0);
    e.controller.setHostAddr(field(fields, 1));
    e.controller.IsServer = data[0] & 0x80 ? 1 : 0;
    e.controller.DoComment.fill(field(fields, 2));
    e.controller.DiComment.fill(field(fields, 2));
    e.text = field(fields, 3);
    return e;
}

QString composedLine(const Entry& e) {
    switch (e.kind) {
    case 0:
        return stateEntryLine(e.controller, e.text, e.port, e.value, e.state, kNow);
    case 1:
        return inputStatusEntryLine(e.controller, e.port, e.value, kNow);
    case 2:
        return valueEntryLine(e.controller, e.controller.DoComment[0], e.text, e.port, e.value,
                              kNow);
    case 3:
        return temperatureEntryLine(e.controller, e.text, kNow);
    default:
        return noticeEntryLine(e.text, kNow);
    }
}

// Writes the line as the only entry of a new file and returns what the file holds.
QByteArray writtenFile(EventLog& log, const QString& line) {
    const QString previous = log.currentPath();
    log.close();
    QFile::remove(previous);
    if (log.OpenNewFile() != 0 || log.WriteEntry(line) != 0) __builtin_trap();
    QFile file(log.currentPath());
    if (!file.open(QIODevice::ReadOnly)) __builtin_trap();
    return file.readAll();
}

void checkReadBack(const QString& line, const QByteArray& written) {
    if (!written.startsWith(kHeader)) __builtin_trap();
    const QByteArray entry = written.mid(kHeader.size());
    if (entry.size() > kLogEntryMaxBytes || !entry.endsWith("\r\n")) __builtin_trap();
    bool valid = false;
    const QString read = fromLocalCodeSet(entry, &valid);
    if (!valid) __builtin_trap();
    if (toLocalCodeSet(line).size() <= kLogEntryMaxBytes) {
        if (read != line) __builtin_trap();
    } else if (!line.startsWith(read.chopped(2))) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    static EventLog log(folder.path(), [] { return kNow; });
    const QString line = composedLine(readEntry(data, size));
    checkReadBack(line, writtenFile(log, line));
    return 0;
}
