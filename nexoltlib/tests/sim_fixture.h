// tevronsim with three generic controllers answering the device-management protocol on
// loopback, its request log, and the devices found by a unicast search.
#pragma once

#include "sim_process.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace nexolt::test {

inline const uint8_t kHallMac[6] = {0x00, 0x30, 0xF9, 0xAA, 0x00, 0x01};
inline const uint8_t kGateMac[6] = {0x00, 0x30, 0xF9, 0xAA, 0x00, 0x02};
inline const uint8_t kYardMac[6] = {0x00, 0x30, 0xF9, 0xAA, 0x00, 0x03};
inline const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

class SimFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Unicast search of loopback; fills found and the device table.
    void search();
    lib_env found_record(const uint8_t* mac) const;
    // Request-log lines of the device-management protocol with this command.
    std::vector<std::string> logged(int command) const;
    // The same, once at least count lines are there (at most 2 s).
    std::vector<std::string> logged_at_least(int command, size_t count) const;

    std::filesystem::path dir;
    SimProcess sim;
    uint16_t port = 0, hall_port = 0;
    std::vector<lib_env> found;
};

// The value of a numeric JSON member in a log line, -1 when absent.
long json_number(const std::string& line, const std::string& name);

} // namespace nexolt::test
