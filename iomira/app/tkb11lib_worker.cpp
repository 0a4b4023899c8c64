#include "app/tkb11lib_worker.h"

#include <cstring>

namespace iomira {

namespace {

std::mutex& tkb11LibLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

void Tkb11LibWorker::startSearch(int mode, uint32_t address) {
    start(Request::search(mode, address));
}

void Tkb11LibWorker::startRead(int mode, uint32_t address, uint16_t port, const uint8_t* mac) {
    start(Request::readAt(mode, address, port, mac));
}

void Tkb11LibWorker::start(std::shared_ptr<Request> request) {
    error_ = 0;
    auto call = [request] {
        Request& r = *request;
        if (r.operation == LIBRARY_SEARCH) {
            r.found.resize(TKB11_MAX_RECORDS);
            r.result =
                TKB11_Search(r.mode, r.address, r.found.data(), &r.count, &r.error, r.port, 0);
            r.keepFound(TKB11_MAX_RECORDS);
        } else {
            r.result = TKB11_Read(r.mode, r.mac.data(), r.address, &r.read, &r.error, r.port, 0);
        }
    };
    run(tkb11LibLock(), std::move(call), [this, request] { takeAnswer(*request); });
}

void Tkb11LibWorker::takeAnswer(const Request& request) {
    result_ = request.result;
    error_ = request.error;
    if (request.operation == LIBRARY_SEARCH) {
        records_ = request.found;
    } else if (result_ == 1) {
        const tkb11_record& read = request.read;
        mergeReadRecord(records_, read, [&](const tkb11_record& r) {
            return request.mode == LIBRARY_UNICAST ? r.ip_address == read.ip_address
                                                   : std::memcmp(r.mac, request.mac.data(), 6) == 0;
        });
    }
    emit answered(request.operation);
}

} // namespace iomira
