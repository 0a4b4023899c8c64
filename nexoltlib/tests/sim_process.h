// Runs tevronsim as a child process and reads its announcement lines up to "ready".
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace nexolt::test {

class SimProcess {
  public:
    ~SimProcess() { stop(); }
    // Starts the program with the arguments and waits (at most 10 s) for "ready".
    bool start(const std::vector<std::string>& args);
    void stop();
    const std::vector<std::string>& lines() const { return lines_; }
    // The first line that starts with prefix, empty when none.
    std::string line_starting(const std::string& prefix) const;

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::vector<std::string> lines_;
};

} // namespace nexolt::test
