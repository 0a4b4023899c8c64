#pragma once

#include "app/library_request.h"
#include "app/library_worker.h"
#include "tkb11lib/tkb11lib.h"

#include <array>
#include <cstdint>
#include <vector>

namespace iomira {

// Searches and reads through tkb11lib; the results stay in the library's order.
class Tkb11LibWorker : public LibraryWorker {
    Q_OBJECT
  public:
    using LibraryWorker::LibraryWorker;

    // Addresses are IPv4 in network byte order.
    void startSearch(int mode, uint32_t address);
    void startRead(int mode, uint32_t address, uint16_t port, const uint8_t* mac = nullptr);

    int result() const { return result_; }
    int error() const { return error_; }
    const std::vector<tkb11_record>& records() const { return records_; }

  signals:
    void answered(int operation);

  private:
    using Request = LibraryRequest<tkb11_record>;
    void start(std::shared_ptr<Request> request);
    void takeAnswer(const Request& request);

    int result_ = 0;
    int error_ = 0;
    std::vector<tkb11_record> records_;
};

} // namespace iomira
