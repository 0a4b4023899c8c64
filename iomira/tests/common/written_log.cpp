#include "common/written_log.h"

#include "core/log_day_files.h"
#include "core/log_entries.h"
#include "core/log_texts.h"
#include "core/texts.h"

#include <QFile>
#include <QFileInfo>

namespace iomira::test {

WrittenLog::WrittenLog()
    : now_(QDate(2026, 5, 6), QTime(10, 0, 0)), log_(dir_.path(), [this] { return now_; }) {
    log_.OpenNewFile();
}

void WrittenLog::at(const QDateTime& time) {
    now_ = time;
    log_.OpenNewFile();
}

CQUORVISData WrittenLog::controller(const QString& name) {
    CQUORVISData c;
    c.DeviceId = 1;
    c.DeviceComment = name;
    c.HostAddr = "plc.local";
    c.DiComment[0] = "Level, high";
    c.DoComment[1] = "Motor \"A\"";
    return c;
}

QByteArray WrittenLog::write(const QString& line) {
    log_.WriteEntry(line);
    now_ = now_.addSecs(1);
    return line.toUtf8();
}

QList<QByteArray> WrittenLog::lines(int count, const QString& name) {
    const CQUORVISData c = controller(name);
    QList<QByteArray> written;
    for (int i = 0; i < count; ++i) {
        switch (i % 5) {
        case 0:
            written << write(stateEntryLine(c, {}, -1, LOG_VALUE_NONE, 3, now_));
            break;
        case 1:
            written << write(inputStatusEntryLine(c, 0, i % 2, now_));
            break;
        case 2:
            written << write(valueEntryLine(c, "ANALOG", logText(TEXT_ANALOG_VALUE), 1, i, now_));
            break;
        case 3:
            written << write(
                stateEntryLine(c, logText(TEXT_OUTPUT_PORT_STATUS), 1, LOG_ON, 3, now_));
            break;
        default:
            written << write(
                stateEntryLine(c, logText(TEXT_RESPONSE_INPUTS), -1, LOG_VALUE_NONE, 3, now_));
        }
    }
    return written;
}

QByteArray WrittenLog::line(const QString& name, const QString& text) const {
    return stateEntryLine(controller(name), text, -1, LOG_VALUE_NONE, 3, now_).toUtf8();
}

void WrittenLog::appendRaw(const QByteArray& bytes) {
    QFile file(log_.currentPath());
    if (file.open(QIODevice::Append)) file.write(bytes);
}

qint64 WrittenLog::bytesOfDay(const QDate& day) const {
    qint64 bytes = 0;
    for (const QString& path : logFilesOfDay(folder(), day))
        bytes += QFileInfo(path).size();
    return bytes;
}

} // namespace iomira::test
