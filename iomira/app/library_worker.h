#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

namespace iomira {

// One blocking device-library call at a time, off the user-interface thread: each request runs
// on a thread of its own, and its answer is handed back on the owner's thread. A library's
// calls are serialised through its lock, so a request left running by a closed dialog finishes
// before the next one starts.
class LibraryWorker : public QObject {
    Q_OBJECT
  public:
    explicit LibraryWorker(QObject* parent = nullptr);
    ~LibraryWorker() override;

    bool busy() const { return busy_; }

  protected:
    // `call` runs on the new thread while `libraryLock` is held; `answer` afterwards on this
    // object's thread, unless the object is gone by then. Whatever both share is handed over
    // by that order: the caller touches nothing of the request while it is busy.
    void run(std::mutex& libraryLock, std::function<void()> call, std::function<void()> answer);

  private:
    struct Mailbox {
        std::mutex lock;
        LibraryWorker* owner = nullptr;
    };
    std::shared_ptr<Mailbox> mailbox_;
    bool busy_ = false;
};

} // namespace iomira
