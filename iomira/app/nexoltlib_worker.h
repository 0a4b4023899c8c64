#pragma once

#include "app/library_request.h"
#include "app/library_worker.h"
#include "nexoltlib/nexoltlib.h"

#include <array>
#include <cstdint>
#include <vector>

namespace iomira {

inline constexpr int kMaxFoundRecords = 256;

// Searches and reads through NexoltLib. After `answered` the results hold what the library
// found: a search sorted by MAC, a read merged into the list by the device's MAC.
class NexoltLibWorker : public LibraryWorker {
    Q_OBJECT
  public:
    using LibraryWorker::LibraryWorker;

    // Addresses are IPv4 in network byte order.
    void startSearch(int mode, uint32_t address);
    void startRead(int mode, uint32_t address, uint16_t port, const uint8_t* mac = nullptr);

    int result() const { return result_; }
    int error() const { return error_; }
    const std::vector<lib_env>& records() const { return records_; }

  signals:
    void answered(int operation);

  private:
    using Request = LibraryRequest<lib_env>;
    void start(std::shared_ptr<Request> request);
    void takeAnswer(const Request& request);

    int result_ = 0;
    int error_ = 0;
    std::vector<lib_env> records_;
};

} // namespace iomira
