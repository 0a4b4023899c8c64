#include "app/nexoltlib_worker.h"

#include "app/found_list.h"

#include <algorithm>
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

struct NexoltLibWorker::Request {
    int operation = LIBRARY_SEARCH;
    int mode = LIBRARY_BROADCAST;
    uint32_t address = 0;
    uint16_t port = kDeviceManagementPort;
    std::array<uint8_t, 6> mac{};
    int result = -1;
    int error = 0;
    int count = 0;
    std::vector<lib_env> found;
    lib_env read{};
};

void NexoltLibWorker::startSearch(int mode, uint32_t address) {
    auto request = std::make_shared<Request>();
    request->operation = LIBRARY_SEARCH;
    request->mode = mode;
    request->address = address;
    start(std::move(request));
}

void NexoltLibWorker::startRead(int mode, uint32_t address, uint16_t port, const uint8_t* mac) {
    auto request = std::make_shared<Request>();
    request->operation = LIBRARY_READ;
    request->mode = mode;
    request->address = address;
    request->port = port;
    if (mac) std::copy(mac, mac + 6, request->mac.begin());
    start(std::move(request));
}

void NexoltLibWorker::start(std::shared_ptr<Request> request) {
    error_ = 0;
    auto call = [request] {
        Request& r = *request;
        if (r.operation == LIBRARY_SEARCH) {
            r.found.resize(kMaxFoundRecords);
            r.result = Nexolt_Search(r.mode, r.address, r.found.data(), &r.count, &r.error, r.port,
                                     0, kMaxFoundRecords);
            r.found.resize(std::clamp(r.count, 0, kMaxFoundRecords));
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
