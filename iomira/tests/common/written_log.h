#pragma once

#include "core/event_log.h"
#include "core/quorvis_data.h"

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>

namespace iomira::test {

// A log folder written by the program's own event log under a clock the test sets: each
// entry one second after the one before, a new file wherever the test rotates.
class WrittenLog {
  public:
    WrittenLog();

    QString folder() const { return dir_.path(); }
    QDate day() const { return now_.date(); }
    QDateTime now() const { return now_; }
    EventLog& log() { return log_; }

    // Opens a new file at that time, as at a start or a rotation.
    void at(const QDateTime& time);
    void rotate(const QTime& time) { at(QDateTime(day(), time)); }

    static CQUORVISData controller(const QString& name);
    // Writes an entry line and returns its bytes as the file has them.
    QByteArray write(const QString& line);
    // `count` entries of a controller, of every kind in turn.
    QList<QByteArray> lines(int count, const QString& controller);
    // What a state entry with that text would be, unwritten.
    QByteArray line(const QString& controller, const QString& text) const;
    // Bytes added to the current file behind the log's back.
    void appendRaw(const QByteArray& bytes);
    qint64 bytesOfDay(const QDate& day) const;

  private:
    QTemporaryDir dir_;
    QDateTime now_;
    EventLog log_;
};

} // namespace iomira::test
