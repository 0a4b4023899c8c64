#pragma once

#include <cstdint>
#include <unordered_set>

namespace iomira {

enum class LinkChange { None, Lost, Restored };

// Follows the outages of each controller's link: an established connection that breaks, is
// closed by the peer or stops answering is lost, once, until the next answer restores it.
// The operator's own Disconnect and Modify send no notification and so raise nothing; a
// connect that fails was never established and is no loss either.
class LinkWatch {
  public:
    LinkChange connectionNotified(int deviceId, intptr_t lparam);
    LinkChange notResponding(int deviceId);
    LinkChange answered(int deviceId);
    // The controller was deleted.
    void forget(int deviceId) { lost_.erase(deviceId); }
    bool isLost(int deviceId) const { return lost_.count(deviceId) != 0; }

  private:
    LinkChange lose(int deviceId);

    std::unordered_set<int> lost_;
};

// True for a connection notification that ends an established connection.
bool endsEstablishedLink(intptr_t lparam);

} // namespace iomira
