#include "core/log_day_view.h"

#include <chrono>

namespace iomira {

namespace {

constexpr qint64 kIndexChunk = 4 * 1024 * 1024;
constexpr qint64 kFilterRows = 65536;
// How often the day being written is looked at for new lines.
constexpr std::chrono::milliseconds kFollowTurn(500);

} // namespace

LogDayView::LogDayView(QString folder, QDate day, bool follow, Changed changed)
    : index_(std::move(folder), day), follow_(follow), changed_(std::move(changed)) {
    thread_ = std::thread([this] { run(); });
}

LogDayView::~LogDayView() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void LogDayView::setFilter(const LogFilter& filter) {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        filter_ = filter;
        matcher_ = filter.passesAll() ? nullptr : std::make_shared<LogLineMatcher>(filter);
        matches_.clear();
        matches_.shrink_to_fit();
        filteredTo_ = 0;
        woken_ = true;
        busy_ = true;
    }
    wake_.notify_all();
}

void LogDayView::lookAgain() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wake_.notify_all();
}

LogDayView::State LogDayView::state() const {
    State s;
    s.rows = index_.rowCount();
    s.indexedBytes = index_.indexedBytes();
    s.knownBytes = index_.knownBytes();
    std::lock_guard lock(mutex_);
    s.generation = generation_;
    s.filtered = matcher_ != nullptr;
    s.matched = matches_.size();
    s.busy = busy_;
    return s;
}

std::vector<uint32_t> LogDayView::matches(int generation, size_t from) const {
    std::lock_guard lock(mutex_);
    if (generation != generation_ || from >= matches_.size()) return {};
    return {matches_.begin() + static_cast<std::ptrdiff_t>(from), matches_.end()};
}

void LogDayView::run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        woken_ = false;
        lock.unlock();
        const bool more = step();
        lock.lock();
        // A filter set during the step is still to be done.
        const bool busy = more || woken_;
        const bool settled = busy_ && !busy;
        busy_ = busy;
        if (settled && changed_) {
            lock.unlock();
            changed_();
            lock.lock();
        }
        if (busy || stop_) continue;
        const auto woken = [this] { return stop_ || woken_; };
        if (follow_)
            wake_.wait_for(lock, kFollowTurn, woken);
        else
            wake_.wait(lock, woken);
    }
}

// One chunk of the files, then the filter over what that added. True while work is left.
bool LogDayView::step() {
    const qint64 rowsBefore = index_.rowCount();
    const bool moreToIndex = index_.indexMore(kIndexChunk, follow_);
    const bool moreToFilter = filterMore();
    if (changed_ && (index_.rowCount() != rowsBefore || moreToIndex || moreToFilter)) changed_();
    return moreToIndex || moreToFilter;
}

bool LogDayView::filterMore() {
    std::shared_ptr<const LogLineMatcher> matcher;
    int generation = 0;
    qint64 first = 0;
    {
        std::lock_guard lock(mutex_);
        if (!matcher_) return false;
        matcher = matcher_;
        generation = generation_;
        first = filteredTo_;
    }
    const qint64 last = std::min(index_.rowCount(), first + kFilterRows);
    if (first >= last) return false;
    const std::vector<uint32_t> rows = matchingRows(index_, *matcher, first, last);
    std::lock_guard lock(mutex_);
    if (generation != generation_) return true;
    matches_.insert(matches_.end(), rows.begin(), rows.end());
    filteredTo_ = last;
    return last < index_.rowCount();
}

} // namespace iomira
