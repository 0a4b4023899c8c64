#pragma once

#include "core/log_day_index.h"
#include "core/log_filter.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace iomira {

// One day of the log as a viewer shows it: the index built on a thread of its own in chunks,
// so the first rows are there before the whole day is read; the filter's rows kept up with
// the index; and, for the day being written, the files followed as they grow and rotate.
class LogDayView {
  public:
    // Called on the view's thread after each step that changed something.
    using Changed = std::function<void()>;

    LogDayView(QString folder, QDate day, bool follow, Changed changed);
    ~LogDayView();
    LogDayView(const LogDayView&) = delete;
    LogDayView& operator=(const LogDayView&) = delete;

    // Filters again from the first row; a filter letting all pass keeps no list of rows.
    void setFilter(const LogFilter& filter);
    // Looks for new lines now rather than at the next turn.
    void lookAgain();

    struct State {
        int generation = 0; // how many filters were set before the current one
        bool filtered = false;
        size_t matched = 0; // rows of the filter found so far
        qint64 rows = 0, indexedBytes = 0, knownBytes = 0;
        bool busy = true; // still reading or filtering what is there
    };
    State state() const;
    // Rows of the filter of `generation` from position `from` on; none once another filter
    // was set.
    std::vector<uint32_t> matches(int generation, size_t from) const;

    const LogDayIndex& index() const { return index_; }
    bool following() const { return follow_; }

  private:
    void run();
    bool step();
    bool filterMore();

    LogDayIndex index_;
    const bool follow_;
    Changed changed_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool woken_ = false;
    bool busy_ = true;
    int generation_ = 0;
    LogFilter filter_;
    std::shared_ptr<const LogLineMatcher> matcher_;
    std::vector<uint32_t> matches_;
    qint64 filteredTo_ = 0;
    std::thread thread_;
};

} // namespace iomira
