#pragma once

#include "monitor/exception_retry.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace iomira {

class CQUORVISData;
class MonitorLog;
class SharedControllers;

// Walks the controller table once a second and sends the read requests. Each controller is
// read and polled under the table lock, so one deleted on the UI thread meanwhile is never
// touched; the next controller is found again by its DeviceId, so that deletions between two
// steps neither skip nor repeat one.
class PollingThread {
  public:
    PollingThread(SharedControllers& controllers, MonitorLog& log,
                  std::chrono::milliseconds period = std::chrono::milliseconds(1000));
    ~PollingThread();
    PollingThread(const PollingThread&) = delete;
    PollingThread& operator=(const PollingThread&) = delete;

    // False when the thread could not be created.
    bool start();
    void stop();
    // One walk over the table, as the thread makes it every period.
    void runPass();

  private:
    void run();
    void poll(const CQUORVISData& controller);

    SharedControllers& controllers_;
    MonitorLog& log_;
    std::chrono::milliseconds period_;
    ExceptionRetry exceptionRetry_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

} // namespace iomira
