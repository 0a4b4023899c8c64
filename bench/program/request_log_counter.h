#pragma once
// Counts, as the simulator's request log grows, the polls each benchmark device received.
// Reads only what was added since the last look, so a long run never reads the log twice.

#include <cstdint>
#include <string>
#include <vector>

namespace iomira::bench {

class RequestLogCounter {
  public:
    RequestLogCounter(std::string path, int devices);

    // Reads the complete lines added since the last call; a line still being written is
    // left for the next.
    void readNew();
    // The polls counted per device since the start.
    const std::vector<int64_t>& totals() const { return totals_; }
    int64_t linesRead() const { return lines_; }

  private:
    void countLine(const std::string& line);

    std::string path_;
    std::vector<int64_t> totals_;
    int64_t offset_ = 0;
    int64_t lines_ = 0;
};

// The polls per device between two totals of the same counter.
std::vector<int64_t> pollsBetween(const std::vector<int64_t>& before,
                                  const std::vector<int64_t>& after);

} // namespace iomira::bench
