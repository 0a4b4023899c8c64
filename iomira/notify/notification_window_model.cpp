#include "notify/notification_window_model.h"

#include "core/quorvis_data.h"

namespace iomira {

bool NotificationList::add(const QString& text, int deviceId) {
    texts_.push_back(text);
    deviceIds_.push_back(deviceId);
    if (shown_ && valid()) return false;
    current_ = 0;
    shown_ = true;
    return true;
}

void NotificationList::previous() {
    if (current_ > 0) --current_;
}

void NotificationList::next() {
    if (current_ < count() - 1) ++current_;
}

void NotificationList::first() {
    if (current_ > 0) current_ = 0;
}

void NotificationList::end() {
    if (current_ < count() - 1) current_ = count() - 1;
}

bool NotificationList::confirm() {
    if (!valid()) return false;
    texts_.erase(texts_.begin() + current_);
    deviceIds_.erase(deviceIds_.begin() + current_);
    if (current_ >= count()) current_ = count() - 1;
    if (count() > 0) return false;
    shown_ = false;
    return true;
}

void NotificationList::confirmAll() {
    texts_.clear();
    deviceIds_.clear();
    current_ = -1;
    shown_ = false;
}

QString NotificationList::currentText() const {
    return valid() ? texts_[current_] : QString();
}

int NotificationList::currentDeviceId() const {
    return valid() ? deviceIds_[current_] : 0;
}

QString NotificationList::counterText() const {
    if (!valid()) return QString();
    return QStringLiteral("%1 / %2").arg(current_ + 1).arg(count());
}

NotificationList::Buttons NotificationList::buttons() const {
    if (!valid()) return {};
    const bool back = current_ > 0;
    const bool forward = current_ < count() - 1;
    return {back, back, forward, forward};
}

QString inputNotificationText(const QString& pattern, const CQUORVISData& c, int input, int value,
                              const QDateTime& when) {
    const QString port = input >= 0 && input < kDigitalPorts ? c.DiComment[input] : QString();
    const QDate d = when.date();
    const QTime t = when.time();
    const QString time = QString::asprintf("%.4d-%.2d-%.2d %.2d:%.2d:%.2d", d.year(), d.month(),
                                           d.day(), t.hour(), t.minute(), t.second());
    QString text = pattern;
    text.replace(QLatin1String("%d"), c.DeviceComment);
    text.replace(QLatin1String("%p"), port);
    text.replace(QLatin1String("%s"), value == 1 ? QStringLiteral("ON") : QStringLiteral("OFF"));
    text.replace(QLatin1String("%t"), time);
    return text;
}

} // namespace iomira
