#include "app/controller_monitoring.h"

#include "core/user_prompts.h"

namespace iomira {

ControllerMonitoring::ControllerMonitoring(UserPrompts& prompts, QObject* parent)
    : QObject(parent), prompts_(prompts) {
    reconnectTimer_.setSingleShot(true);
    connect(&reconnectTimer_, &QTimer::timeout, this, [this] {
        if (connections_) connections_->reconnectTick();
        reconnectTimer_.start(kReconnectTickMs);
    });
}

ControllerMonitoring::~ControllerMonitoring() {
    stopTimers();
}

void ControllerMonitoring::start(SharedControllers& controllers, MonitorLog& log) {
    connections_ = std::make_unique<ConnectionManager>(controllers, log, *this);
    handler_ =
        std::make_unique<NotificationHandler>(controllers, log, *connections_, *this, dispatch_);
}

void ControllerMonitoring::startMailNotifications(const NotificationMailTables& tables) {
    mailer_ = std::make_unique<NotificationMailer>(tables);
    NotificationMailer* mailer = mailer_.get();
    dispatch_.queueNotificationMail = [mailer](const CQUORVISData& c, int kind, int port,
                                               int value) {
        mailer->QueueNotificationMail(c, kind, port, value);
    };
}

void ControllerMonitoring::startTimers() {
    reconnectTimer_.start(kReconnectTickMs);
}
void ControllerMonitoring::stopTimers() {
    reconnectTimer_.stop();
}

void ControllerMonitoring::onConnectionNotification(uintptr_t deviceId, intptr_t lparam) {
    if (handler_) handler_->onConnection(deviceId, lparam);
}

void ControllerMonitoring::onDataNotification(uintptr_t deviceId, intptr_t code) {
    if (handler_) handler_->onData(deviceId, code);
}

void ControllerMonitoring::connectionStarted(int deviceId) {
    connectionNotified(deviceId, 0);
    emit controllerConnectionStarted(deviceId);
}

void ControllerMonitoring::connectionNotified(int deviceId, intptr_t lparam) {
    emit controllerConnectionNotified(deviceId, lparam);
}

void ControllerMonitoring::showError(const QString& message) {
    prompts_.error(message);
}

} // namespace iomira
