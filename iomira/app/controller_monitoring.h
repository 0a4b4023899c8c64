#pragma once

#include "monitor/connection_manager.h"
#include "monitor/monitor_events.h"
#include "monitor/notification_handler.h"
#include "monitor/response_watchdog.h"
#include "monitor/trend_recorder.h"
#include "notify/link_notifier.h"
#include "notify/notification_mailer.h"
#include "notify/port_change_dispatch.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace iomira {

class MonitorLog;
class SharedControllers;
class UserPrompts;

// The controllers' connections as the program runs them: the connection manager and its
// reconnection timer, the response watchdog and its timer, Corvel's notifications, the
// port-change dispatch, the link notifications and the mail thread. Windows follow the signals.
class ControllerMonitoring : public QObject, public MonitorEvents {
    Q_OBJECT
  public:
    explicit ControllerMonitoring(UserPrompts& prompts, QObject* parent = nullptr);
    ~ControllerMonitoring() override;

    void start(SharedControllers& controllers, MonitorLog& log);
    bool started() const { return connections_ != nullptr; }
    ConnectionManager* connections() const { return connections_.get(); }
    PortChangeDispatch& dispatch() { return dispatch_; }
    // Exists once started.
    LinkNotifier* links() const { return links_.get(); }
    // Starts the mail thread and queues the dispatch's mails to it.
    void startMailNotifications(const NotificationMailTables& tables);
    NotificationMailer* mailer() const { return mailer_.get(); }
    // The recent values of the trended channels, fed by every poll.
    TrendRecorder& trends() { return trends_; }
    void startTimers();
    void stopTimers();

    void onConnectionNotification(uintptr_t deviceId, intptr_t lparam);
    void onDataNotification(uintptr_t deviceId, intptr_t code);

    // MonitorEvents
    void connectionStarted(int deviceId) override;
    void connectionNotified(int deviceId, intptr_t lparam) override;
    void showError(const QString& message) override;
    void answered(int deviceId) override;
    void responseChanged(int deviceId) override;
    void reconnecting(int deviceId) override;

  signals:
    void controllerConnectionStarted(int deviceId);
    void controllerConnectionNotified(int deviceId, intptr_t lparam);
    // The controller stopped answering, or answered again (its NotResponding changed).
    void controllerResponseChanged(int deviceId);

  private:
    CQUORVISData* find(int deviceId) const;

    UserPrompts& prompts_;
    SharedControllers* controllers_ = nullptr;
    std::unique_ptr<ConnectionManager> connections_;
    std::unique_ptr<NotificationHandler> handler_;
    std::unique_ptr<ResponseWatchdog> watchdog_;
    std::unique_ptr<LinkNotifier> links_;
    PortChangeDispatch dispatch_;
    TrendRecorder trends_;
    std::unique_ptr<NotificationMailer> mailer_;
    QTimer reconnectTimer_;
    QTimer watchdogTimer_;
};

} // namespace iomira
