// Host name lookups off the caller's thread. Each lookup runs on a worker thread and its
// result is handed to the dispatcher's thread, where the lookup's finish function runs; a
// lookup nobody waits for any more is skipped before it starts.
#pragma once

#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <string>

#include "platform.h"

namespace corvel {

class Resolver {
  public:
    using Wanted = std::function<bool()>; // asked on the worker, right before the lookup
    using Finish = std::function<void(int code, const platform::Address& address)>;

    // Never destroyed: a worker may still be inside a lookup when the library unloads.
    static Resolver& instance();

    // Throws when neither memory nor a thread for the lookup can be had.
    void submit(std::string host, int port, Wanted wanted, Finish finish);

    // Runs the finish functions of the lookups done so far; on the dispatcher's thread.
    void run_finished();

  private:
    struct Job {
        std::string host;
        int port;
        Wanted wanted;
        Finish finish;
        int code = 0;
        platform::Address address;
    };

    Resolver() = default;
    void work();
    void start_worker_if_needed();

    std::mutex mutex_;
    std::condition_variable queued_;
    // Jobs move between these lists by splicing, so a worker never allocates (and so never
    // fails) between the lookup and the hand-over of its result.
    std::list<Job> waiting_;
    std::list<Job> finished_;
    int workers_ = 0;
    int idle_workers_ = 0;
};

} // namespace corvel
