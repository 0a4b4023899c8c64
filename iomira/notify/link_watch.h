#pragma once

#include <cstdint>
#include <unordered_set>

namespace iomira {

enum class LinkChange { None, Lost, Restored };

// Follows the outages of each controller's link: an established connection that breaks, is
// closed by the peer or stops answering is lost, once, until the next answer restores it. A
// link that answered and then needs an automatic reconnection without any notification (a
// request that could not be sent closed it) is lost too. The operator's own Disconnect and
// Modify send no notification and start no automatic reconnection, and so raise nothing; a
// connect that fails was never established and is no loss either.
class LinkWatch {
  public:
    LinkChange connectionNotified(int deviceId, intptr_t lparam);
    LinkChange notResponding(int deviceId);
    LinkChange answered(int deviceId);
    LinkChange reconnecting(int deviceId);
    // The controller was deleted, or the operator closed its link.
    void forget(int deviceId);
    bool isLost(int deviceId) const { return lost_.count(deviceId) != 0; }

  private:
    LinkChange lose(int deviceId);

    std::unordered_set<int> lost_;
    std::unordered_set<int> linked_; // answered since the last loss
};

// True for a connection notification that ends an established connection.
bool endsEstablishedLink(intptr_t lparam);

} // namespace iomira
