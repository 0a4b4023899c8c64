#include "app/controller_monitoring.h"

#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"

#include <QDateTime>

namespace iomira {

ControllerMonitoring::ControllerMonitoring(UserPrompts& prompts, QObject* parent)
    : QObject(parent), prompts_(prompts) {
    reconnectTimer_.setSingleShot(true);
    connect(&reconnectTimer_, &QTimer::timeout, this, [this] {
        if (connections_) connections_->reconnectTick();
        reconnectTimer_.start(kReconnectTickMs);
    });
    watchdogTimer_.setInterval(kWatchdogTickMs);
    connect(&watchdogTimer_, &QTimer::timeout, this, [this] {
        if (watchdog_) watchdog_->tick();
        if (handler_) handler_->flushFoldedLines(QDateTime::currentMSecsSinceEpoch());
    });
}

ControllerMonitoring::~ControllerMonitoring() {
    stopTimers();
}

void ControllerMonitoring::start(SharedControllers& controllers, MonitorLog& log) {
    controllers_ = &controllers;
    connections_ = std::make_unique<ConnectionManager>(controllers, log, *this);
    watchdog_ = std::make_unique<ResponseWatchdog>(controllers, log, *this);
    links_ = std::make_unique<LinkNotifier>(log);
    handler_ =
        std::make_unique<NotificationHandler>(controllers, log, *connections_, *this, dispatch_);
    handler_->setValueListener(&trends_);
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
    watchdogTimer_.start();
}
void ControllerMonitoring::stopTimers() {
    reconnectTimer_.stop();
    watchdogTimer_.stop();
}

CQUORVISData* ControllerMonitoring::find(int deviceId) const {
    return controllers_ ? controllers_->table().find(deviceId) : nullptr;
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
    if (CQUORVISData* c = find(deviceId)) {
        // The operator's own Disconnect (and Modify, which disconnects first) is no outage.
        if (c->ReconnectWanted == 1)
            links_->connectionNotified(*c, lparam);
        else
            links_->forget(deviceId);
        watchdog_->connectionChanged(*c);
    }
    emit controllerConnectionNotified(deviceId, lparam);
}

void ControllerMonitoring::answered(int deviceId) {
    CQUORVISData* c = find(deviceId);
    if (!c) return;
    watchdog_->answered(*c);
    links_->answered(*c);
}

void ControllerMonitoring::reconnecting(int deviceId) {
    if (CQUORVISData* c = find(deviceId)) links_->reconnecting(*c);
}

void ControllerMonitoring::responseChanged(int deviceId) {
    CQUORVISData* c = find(deviceId);
    if (!c) return;
    if (c->NotResponding) links_->notResponding(*c);
    emit controllerResponseChanged(deviceId);
}

void ControllerMonitoring::showError(const QString& message) {
    prompts_.error(message);
}

} // namespace iomira
