#pragma once

#include "core/schedule_list.h"
#include "notify/link_watch.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace iomira {

class CQUORVISData;
class MonitorLog;

// What follows a lost or restored link: a log entry always, and a message in the notification
// window when the link notification switch is on and the notification schedule lets it through.
class LinkNotifier {
  public:
    explicit LinkNotifier(MonitorLog& log) : log_(log) {}

    // The LINK_NOTIFICATION switch; unset means on.
    std::function<bool()> enabled;
    // Unset lets every message through, as with the schedule switch off.
    std::function<bool(ScheduleKind kind)> inSchedule;
    // Where the message goes (the notification window).
    std::function<void(const QString& text, int deviceId)> post;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

    void connectionNotified(const CQUORVISData& controller, intptr_t lparam);
    void notResponding(const CQUORVISData& controller);
    void answered(const CQUORVISData& controller);
    void reconnecting(const CQUORVISData& controller);
    void forget(int deviceId) { watch_.forget(deviceId); }

  private:
    void follow(const CQUORVISData& controller, LinkChange change);

    MonitorLog& log_;
    LinkWatch watch_;
};

// The notification window's message for a lost or restored link: "%d" the controller's name,
// "%t" the time.
QString linkNotificationText(LinkChange change, const CQUORVISData& controller,
                             const QDateTime& when);

} // namespace iomira
