#pragma once
// Runs tevronsim as a child process: writes its device file, waits for "ready", sends it
// commands on standard input and reads its request log.

#include <map>
#include <string>
#include <vector>

namespace simtest {

class SimChild {
  public:
    // Starts tevronsim on the device file text; throws std::runtime_error if it does not start.
    explicit SimChild(const std::string& device_text);
    ~SimChild();
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;

    int port(const std::string& device) const { return ports_.at(device); }
    // Runs a command; returns its output lines, or throws with the error reply.
    std::vector<std::string> command(const std::string& line);
    // How many connections the simulator holds for a device (accepted or made by it).
    size_t connections(const std::string& device);
    // The request log, one JSON text a line.
    std::vector<std::string> log_lines() const;
    const std::string& dir() const { return dir_; }
    // The processor time the simulator used so far (user and system), in seconds; -1 if unknown.
    double cpu_seconds() const;

  private:
    std::string read_line(int timeout_ms);

    std::string dir_;
    int pid_ = -1;
    int to_child_ = -1;
    int from_child_ = -1;
    std::string pending_;
    std::map<std::string, int> ports_;
};

// A loopback port that was free a moment ago (for a server the simulator connects to).
int free_port(bool ipv6);
// The integer member "name" of a JSON log line, or -1.
long json_number(const std::string& line, const std::string& name);
std::string json_text(const std::string& line, const std::string& name);

} // namespace simtest
