#pragma once

#include "app/library_worker.h"

#include <QByteArray>

#include <cstdint>
#include <functional>

namespace iomira {

// Resolves a typed host to an IPv4 address on a thread of its own, so that a slow name server
// never stands the window still.
class AddressResolver : public LibraryWorker {
    Q_OBJECT
  public:
    using LibraryWorker::LibraryWorker;

    // `done` gets the resolver's code (0 on success) and the address in network byte order.
    void resolve(const QByteArray& host, std::function<void(int error, uint32_t address)> done);
};

} // namespace iomira
