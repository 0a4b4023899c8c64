#pragma once

#include "core/schedule_list.h"
#include "monitor/port_change_listener.h"

#include <QDateTime>

#include <functional>

namespace iomira {

class CQUORVISData;
struct GlobalSwitches;

// Kinds of port a notification mail is about.
enum MailPortKind { MAIL_PORT_INPUT = 1, MAIL_PORT_OUTPUT = 2 };

// Whether the weekly schedules let a notification of one kind through right now. The switch
// and the lists are read at every test, so dialog changes apply at once.
class ScheduleGate {
  public:
    ScheduleGate(
        const GlobalSwitches& switches, const CScheduleDataList& mailSchedules,
        const CScheduleDataList& messageSchedules,
        std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); })
        : switches_(switches), mail_(mailSchedules), messages_(messageSchedules),
          clock_(std::move(clock)) {}
    bool allows(ScheduleKind kind) const;

  private:
    const GlobalSwitches& switches_;
    const CScheduleDataList& mail_;
    const CScheduleDataList& messages_;
    std::function<QDateTime()> clock_;
};

// The port-change dispatch compares a response with the controller's images and raises the
// notifications: per changed input a mail, then its sound, then its message; per changed
// output only a mail. A channel left unset is dropped.
class PortChangeDispatch : public PortChangeListener {
  public:
    std::function<void(const CQUORVISData& controller, int kind, int port, int value)>
        queueNotificationMail;
    std::function<void(const CQUORVISData& controller, int input, int value)> playInputSound;
    // Where a changed input's message goes (the notification window).
    std::function<void(const CQUORVISData& controller, int input, int value)> postInputNotification;
    // Unset lets every notification through, as with both schedule switches off.
    std::function<bool(ScheduleKind kind)> inSchedule;

    void DispatchInputChanges(CQUORVISData& controller) override;
    void DispatchOutputChanges(CQUORVISData& controller) override;

  private:
    bool scheduled(ScheduleKind kind) const { return !inSchedule || inSchedule(kind); }
    void mailIfWatched(const CQUORVISData& c, int kind, int port, int value);
};

} // namespace iomira
