#include "resolver.h"

#include <chrono>
#include <thread>

namespace corvel {
namespace {

// Lookups that hang on a silent name server each hold a worker; past this many, further
// lookups wait for one to come free.
constexpr int MAX_WORKERS = 8;
constexpr auto IDLE_WORKER_LIFETIME = std::chrono::seconds(10);

} // namespace

Resolver& Resolver::instance() {
    static Resolver* resolver = new Resolver;
    return *resolver;
}

void Resolver::submit(std::string host, int port, Wanted wanted, Finish finish) {
    std::lock_guard lock(mutex_);
    waiting_.push_back(Job{std::move(host), port, std::move(wanted), std::move(finish), 0, {}});
    try {
        start_worker_if_needed();
    } catch (...) {
        waiting_.pop_back();
        throw;
    }
    queued_.notify_one();
}

// Called with mutex_ held. A job queued behind busy workers is taken by the next free one,
// so a thread that cannot be started only fails the lookup when there is no worker at all.
void Resolver::start_worker_if_needed() {
    if (static_cast<int>(waiting_.size()) <= idle_workers_ || workers_ >= MAX_WORKERS) return;
    try {
        std::thread([this] { work(); }).detach();
        ++workers_;
    } catch (...) {
        if (workers_ == 0) throw;
    }
}

void Resolver::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_workers_;
        const bool has_job =
            queued_.wait_for(lock, IDLE_WORKER_LIFETIME, [this] { return !waiting_.empty(); });
        --idle_workers_;
        if (!has_job) break;
        std::list<Job> taken;
        taken.splice(taken.end(), waiting_, waiting_.begin());
        lock.unlock();
        Job& job = taken.front();
        const bool wanted = job.wanted();
        if (wanted) job.code = platform::resolve(job.host, job.port, false, job.address);
        lock.lock();
        if (wanted) {
            finished_.splice(finished_.end(), taken);
            platform::wake();
        }
    }
    --workers_;
}

void Resolver::run_finished() {
    std::list<Job> done;
    {
        std::lock_guard lock(mutex_);
        done.swap(finished_);
    }
    for (const Job& job : done)
        job.finish(job.code, job.address);
}

} // namespace corvel
