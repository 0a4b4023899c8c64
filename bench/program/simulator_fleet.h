#pragma once
// The benchmark's devices d0..dN-1 served by as many simulator processes as their descriptors
// need, each a contiguous slice; port look-ups, request logs, commands and processor time go
// over all of them.

#include "sim_child.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace iomira::bench {

// A device holds two descriptors in the simulator (its listening socket and its client's
// connection). 5,000 devices take 10,000, half the usual hard limit of 20,000, so that a
// process never runs short when clients reconnect while their old connections still close.
inline constexpr int kDevicesPerSimulator = 5000;

class SimulatorFleet {
  public:
    // Starts the simulators; throws std::runtime_error as SimChild does.
    explicit SimulatorFleet(int count);

    std::size_t size() const { return children_.size(); }
    int port(int device) const;
    // Where each simulator's request log stands now, to read what comes after it.
    std::vector<std::size_t> logMark() const;
    // The request log lines written since `mark`, simulator after simulator.
    std::vector<std::string> logLinesSince(const std::vector<std::size_t>& mark) const;
    // Sends the command to every simulator.
    void commandAll(const std::string& line);
    // Each simulator's processor time so far, in seconds.
    std::vector<double> cpuSeconds() const;

  private:
    std::vector<std::unique_ptr<simtest::SimChild>> children_;
};

} // namespace iomira::bench
