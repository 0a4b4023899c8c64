#pragma once

#include "monitor/connection_manager.h"
#include "monitor/monitor_events.h"
#include "monitor/notification_handler.h"
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
// reconnection timer, Corvel's notifications, the port-change dispatch and the mail thread.
// Windows follow the signals.
class ControllerMonitoring : public QObject, public MonitorEvents {
    Q_OBJECT
  public:
    explicit ControllerMonitoring(UserPrompts& prompts, QObject* parent = nullptr);
    ~ControllerMonitoring() override;

    void start(SharedControllers& controllers, MonitorLog& log);
    bool started() const { return connections_ != nullptr; }
    ConnectionManager* connections() const { return connections_.get(); }
    PortChangeDispatch& dispatch() { return dispatch_; }
    // Starts the mail thread and queues the dispatch's mails to it.
    void startMailNotifications(const NotificationMailTables& tables);
    NotificationMailer* mailer() const { return mailer_.get(); }
    void startTimers();
    void stopTimers();

    void onConnectionNotification(uintptr_t deviceId, intptr_t lparam);
    void onDataNotification(uintptr_t deviceId, intptr_t code);

    // MonitorEvents
    void connectionStarted(int deviceId) override;
    void connectionNotified(int deviceId, intptr_t lparam) override;
    void showError(const QString& message) override;

  signals:
    void controllerConnectionStarted(int deviceId);
    void controllerConnectionNotified(int deviceId, intptr_t lparam);
    // The controller stopped answering, or answered again (its NotResponding changed).
    void controllerResponseChanged(int deviceId);

  private:
    UserPrompts& prompts_;
    std::unique_ptr<ConnectionManager> connections_;
    std::unique_ptr<NotificationHandler> handler_;
    PortChangeDispatch dispatch_;
    std::unique_ptr<NotificationMailer> mailer_;
    QTimer reconnectTimer_;
};

} // namespace iomira
