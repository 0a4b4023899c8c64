// The application's polling thread, for tests: passes over the controllers from a thread of
// its own, each pass one read_discrete_inputs(key, 8, &error, 0) per key and a burst of them
// per burst key, while the test's thread dispatches.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace corvel_test {

struct PollingPlan {
    std::vector<int32_t> keys;       // one request a pass
    std::vector<int32_t> burst_keys; // `burst` requests a pass, in the first `burst_passes`
    int burst = 0;
    int burst_passes = 0;
    int passes = 1;
};

class PollingThread {
  public:
    explicit PollingThread(PollingPlan plan);
    ~PollingThread(); // lets every pass run and joins
    PollingThread(const PollingThread&) = delete;
    PollingThread& operator=(const PollingThread&) = delete;

    // Lets the passes before `passes` start; none starts until allowed.
    void allow(int passes);
    int passes_done() const { return passes_done_; }
    int walked() const { return walked_; } // keys walked in all passes so far
    bool done() const { return passes_done_ == plan_.passes; }
    void join();

    // After join: the results of the key's requests in the order they were made.
    const std::vector<int32_t>& results(int32_t key) const { return results_.at(key); }
    int count(int32_t key, int32_t result) const;

  private:
    void run();
    bool wait_allowed(int pass);
    void request(int32_t key);

    PollingPlan plan_;
    std::mutex mutex_;
    std::condition_variable allowed_changed_;
    int allowed_ = 0;
    std::atomic<int> passes_done_{0};
    std::atomic<int> walked_{0};
    std::map<int32_t, std::vector<int32_t>> results_;
    std::thread thread_;
};

} // namespace corvel_test
