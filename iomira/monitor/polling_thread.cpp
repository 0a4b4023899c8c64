#include "monitor/polling_thread.h"

#include "corvel/corvel.h"
#include "monitor/initial_read.h"
#include "monitor/shared_controllers.h"

#include <limits>
#include <system_error>

namespace iomira {

PollingThread::PollingThread(SharedControllers& controllers, MonitorLog& log,
                             std::chrono::milliseconds period)
    : controllers_(controllers), log_(log), period_(period) {}

PollingThread::~PollingThread() {
    stop();
}

bool PollingThread::start() {
    if (thread_.joinable()) return true;
    stopping_ = false;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void PollingThread::stop() {
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void PollingThread::runPass() {
    int last = std::numeric_limits<int>::min();
    for (;;) {
        auto guard = controllers_.lock();
        const CQUORVISData* c = controllers_.table().ControllerAfter(last);
        if (!c) return;
        last = c->DeviceId;
        poll(*c);
        guard.unlock();
        controllers_.letWaitingIn();
    }
}

void PollingThread::poll(const CQUORVISData& c) {
    const bool exception = get_modbus_error_code(c.DeviceId) != 0;
    pollController(c, log_,
                   exceptionRetry_.due(c.DeviceId, exception, ExceptionRetry::Clock::now()));
}

void PollingThread::run() {
    // Passes keep a fixed cadence, so a slow pass does not stretch the period.
    auto next = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        runPass();
        lock.lock();
        next += period_;
        const auto now = std::chrono::steady_clock::now();
        if (next < now) next = now;
        wake_.wait_until(lock, next, [this] { return stopping_; });
    }
}

} // namespace iomira
