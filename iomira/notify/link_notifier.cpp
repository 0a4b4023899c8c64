#include "notify/link_notifier.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "monitor/monitor_log.h"

namespace iomira {

QString linkNotificationText(LinkChange change, const CQUORVISData& c, const QDateTime& when) {
    QString text = loadString(change == LinkChange::Lost ? TEXT_LINK_LOST_MESSAGE
                                                         : TEXT_LINK_RESTORED_MESSAGE);
    // The time first, so that a name holding "%t" stays as it is.
    text.replace(QLatin1String("%t"), when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    text.replace(QLatin1String("%d"), c.DeviceComment);
    return text;
}

void LinkNotifier::connectionNotified(const CQUORVISData& c, intptr_t lparam) {
    follow(c, watch_.connectionNotified(c.DeviceId, lparam));
}

void LinkNotifier::notResponding(const CQUORVISData& c) {
    follow(c, watch_.notResponding(c.DeviceId));
}

void LinkNotifier::answered(const CQUORVISData& c) {
    follow(c, watch_.answered(c.DeviceId));
}

void LinkNotifier::reconnecting(const CQUORVISData& c) {
    follow(c, watch_.reconnecting(c.DeviceId));
}

void LinkNotifier::follow(const CQUORVISData& c, LinkChange change) {
    if (change == LinkChange::None) return;
    const bool lost = change == LinkChange::Lost;
    log_.state(c, LogCategory::Tcp,
               lost ? QStringLiteral("Communication lost")
                    : QStringLiteral("Communication restored"));
    if (enabled && !enabled()) return;
    if (inSchedule && !inSchedule(SCHEDULE_NOTIFICATION_MESSAGE)) return;
    if (post) post(linkNotificationText(change, c, clock()), c.DeviceId);
}

} // namespace iomira
