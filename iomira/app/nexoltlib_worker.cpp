#include "app/nexoltlib_worker.h"

#include <cstring>

namespace iomira {

namespace {

std::mutex& nexoltLibLock() {
    static std::mutex lock;
    return lock;
}

bool macLess(const lib_env& a, const lib_env& b) {
    return std::memcmp(a.mac, b.mac, sizeof a.mac) < 0;
}

} // namespace

void NexoltLibWorker::startSearch(int mode, uint32_t address) {
    start(Request::search(mode, address));
}

void NexoltLibWorker::startRead(int mode, uint32_t address, uint16_t port, const uint8_t* mac) {
    start(Request::readAt(mode, address, port, mac));
}

void NexoltLibWorker::start(std::shared_ptr<Request> request) {
    error_ = 0;
    auto call = [request] {
        Request& r = *request;
        if (r.operation == LIBRARY_SEARCH) {
            r.found.resize(kMaxFoundRecords);
            r.result = Nexolt_Search(r.mode, r.address, r.found.data(), &r.count, &r.error, r.port,
                                     0, kMaxFoundRecords);
            r.keepFound(kMaxFoundRecords);
        } else {
            r.result = Nexolt_Read(r.mode, r.mac.data(), r.address, &r.read, &r.error, r.port, 0,
                                   kMaxFoundRecords);
        }
    };
    run(nexoltLibLock(), std::move(call), [this, request] { takeAnswer(*request); });
}

void NexoltLibWorker::takeAnswer(const Request& request) {
    result_ = request.result;
    error_ = request.error;
    if (request.operation == LIBRARY_SEARCH) {
        records_ = request.found;
        if (result_ == 1) std::stable_sort(records_.begin(), records_.end(), macLess);
    } else if (result_ == 1) {
        const bool byMac = request.mode == LIBRARY_BROADCAST;
        mergeReadRecord(records_, request.read, [&](const lib_env& e) {
            return byMac && std::memcmp(e.mac, request.mac.data(), 6) == 0;
        });
    }
    emit answered(request.operation);
}

} // namespace iomira
