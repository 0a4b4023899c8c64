#include "polling_thread.h"

#include <algorithm>
#include <chrono>

#include "corvel/corvel.h"

namespace corvel_test {

PollingThread::PollingThread(PollingPlan plan) : plan_(std::move(plan)) {
    for (const int32_t key : plan_.keys)
        results_[key];
    for (const int32_t key : plan_.burst_keys)
        results_[key];
    thread_ = std::thread([this] { run(); });
}

PollingThread::~PollingThread() {
    allow(plan_.passes);
    join();
}

void PollingThread::allow(int passes) {
    {
        std::lock_guard lock(mutex_);
        allowed_ = std::max(allowed_, passes);
    }
    allowed_changed_.notify_all();
}

void PollingThread::join() {
    if (thread_.joinable()) thread_.join();
}

int PollingThread::count(int32_t key, int32_t result) const {
    const std::vector<int32_t>& all = results(key);
    return static_cast<int>(std::count(all.begin(), all.end(), result));
}

// A test that never allows the pass gives up after a while instead of hanging.
bool PollingThread::wait_allowed(int pass) {
    std::unique_lock lock(mutex_);
    return allowed_changed_.wait_for(lock, std::chrono::seconds(20),
                                     [&] { return allowed_ > pass; });
}

void PollingThread::request(int32_t key) {
    int32_t error = 0;
    results_[key].push_back(read_discrete_inputs(key, 8, &error, 0));
}

void PollingThread::run() {
    for (int pass = 0; pass < plan_.passes; ++pass) {
        if (!wait_allowed(pass)) return;
        for (const int32_t key : plan_.keys) {
            request(key);
            ++walked_;
        }
        const int burst = pass < plan_.burst_passes ? plan_.burst : 0;
        for (const int32_t key : plan_.burst_keys)
            for (int i = 0; i < burst; ++i)
                request(key);
        ++passes_done_;
    }
}

} // namespace corvel_test
