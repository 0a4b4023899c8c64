#include "app/link_counts.h"

#include "core/controller_table.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"

#include <QDateTime>

#include <algorithm>

namespace iomira {

int corvelConnectionState(int deviceId) {
    return get_tcp_connection_state(deviceId);
}

LinkCounts countLinks(const ControllerTable& controllers, const ConnectionStateOf& stateOf) {
    LinkCounts counts;
    controllers.forEach([&](const CQUORVISData& c) {
        ++counts.total;
        counts.lastAnswerMs = std::max(counts.lastAnswerMs, c.LastAnswerMs);
        switch (stateOf(c.DeviceId)) {
        case TCP_ESTABLISHED:
            ++(c.NotResponding ? counts.notResponding : counts.connected);
            break;
        case TCP_LISTEN:
            ++counts.listening;
            break;
        case TCP_ERROR:
            ++counts.error;
            break;
        default:
            break;
        }
    });
    return counts;
}

QString linkCountsText(const LinkCounts& n) {
    const QString counts = loadString(TEXT_STATUS_COUNTS)
                               .arg(n.connected)
                               .arg(n.listening)
                               .arg(n.error)
                               .arg(n.notResponding)
                               .arg(n.total);
    const QString answer = n.lastAnswerMs > 0
                               ? loadString(TEXT_STATUS_LAST_ANSWER)
                                     .arg(QDateTime::fromMSecsSinceEpoch(n.lastAnswerMs)
                                              .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                               : loadString(TEXT_STATUS_NO_ANSWER);
    return counts + QStringLiteral("  |  ") + answer;
}

} // namespace iomira
