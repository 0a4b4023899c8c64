#include "notify/link_watch.h"

#include "corvel/corvel.h"

namespace iomira {

bool endsEstablishedLink(intptr_t lparam) {
    const int event = CORVEL_LPARAM_EVENT(lparam);
    if (event == CORVEL_FD_CLOSE) return true;
    // A failed connect or accept had no link yet; a failed read or write ends one.
    const bool attempt = event == CORVEL_FD_CONNECT || event == CORVEL_FD_ACCEPT;
    return CORVEL_LPARAM_ERROR(lparam) != 0 && !attempt;
}

LinkChange LinkWatch::lose(int deviceId) {
    linked_.erase(deviceId);
    return lost_.insert(deviceId).second ? LinkChange::Lost : LinkChange::None;
}

void LinkWatch::forget(int deviceId) {
    lost_.erase(deviceId);
    linked_.erase(deviceId);
}

LinkChange LinkWatch::connectionNotified(int deviceId, intptr_t lparam) {
    return endsEstablishedLink(lparam) ? lose(deviceId) : LinkChange::None;
}

LinkChange LinkWatch::notResponding(int deviceId) {
    return lose(deviceId);
}

LinkChange LinkWatch::answered(int deviceId) {
    linked_.insert(deviceId);
    return lost_.erase(deviceId) != 0 ? LinkChange::Restored : LinkChange::None;
}

LinkChange LinkWatch::reconnecting(int deviceId) {
    return linked_.count(deviceId) != 0 ? lose(deviceId) : LinkChange::None;
}

} // namespace iomira
