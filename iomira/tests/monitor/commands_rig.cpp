#include "monitor/commands_rig.h"

#include "common/event_pump.h"
#include "common/monitor_files.h"
#include "core/device_family.h"
#include "monitor/corvel_registration.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace iomira::test {

namespace {

std::string deviceFile(const std::vector<std::pair<std::string, std::string>>& devices) {
    std::string text;
    for (const auto& [name, model] : devices)
        text += simDevice(name, model);
    return text;
}

} // namespace

CommandsRig::CommandsRig(const std::vector<std::pair<std::string, std::string>>& devices)
    : sim(deviceFile(devices)),
      target_([this](uint32_t message, uintptr_t wparam, intptr_t lparam) {
          if (message == CORVEL_WM_DATA) {
              dataCodes.push_back(static_cast<int>(lparam));
              if (onData) onData(static_cast<int>(lparam));
          }
          if (onNotify) onNotify(message, wparam, lparam);
      }) {}

int CommandsRig::dataCount(int code) const {
    return static_cast<int>(std::count(dataCodes.begin(), dataCodes.end(), code));
}

bool CommandsRig::logged(const QString& text) const {
    for (const QStringList& columns : files.entries())
        if (columns.size() == 8 && columns[7].contains(text)) return true;
    return false;
}

CommandsRig::~CommandsRig() {
    for (const auto& c : controllers_)
        removeFromCorvel(c->DeviceId);
}

CQUORVISData& CommandsRig::connect(const std::string& device, int family, int inputs, int outputs) {
    auto c = std::make_unique<CQUORVISData>();
    c->DeviceId = nextDeviceId();
    c->DeviceType = family;
    c->NumberOfPortInput = inputs;
    c->NumberOfPortOutput = outputs;
    c->UnitId = family == FAMILY_GENERIC ? 1 : kRlxUnitId;
    c->HostAddr = QStringLiteral("127.0.0.1");
    c->HostPort = sim.port(device);
    c->Polling = 1;
    c->PollingInput = 1;
    EXPECT_EQ(registerInCorvel(target_.window(), *c), CORVEL_OK);
    int32_t error = 0;
    const size_t held = connectionsAt(device);
    EXPECT_EQ(connect_device(c->DeviceId, &error), CORVEL_OK);
    const int id = c->DeviceId;
    // Established on our side may come before the simulator accepted; a test that drops the
    // connection or sends on it from the device needs the simulator to hold it.
    EXPECT_TRUE(pumpUntil([&] {
        return get_tcp_connection_state(id) == TCP_ESTABLISHED && connectionsAt(device) > held;
    })) << device;
    controllers_.push_back(std::move(c));
    return *controllers_.back();
}

std::vector<Request> CommandsRig::requestsOf(const std::string& device, size_t from) const {
    const std::vector<std::string> lines = sim.log_lines();
    std::vector<Request> out;
    for (size_t i = from; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (simtest::json_text(line, "device") != device) continue;
        const long quantity = simtest::json_number(line, "quantity");
        out.push_back({simtest::json_number(line, "function"),
                       simtest::json_number(line, "address"),
                       quantity >= 0 ? quantity : simtest::json_number(line, "value")});
    }
    return out;
}

size_t CommandsRig::connectionsAt(const std::string& device) {
    return sim.connections(device);
}

bool CommandsRig::waitRequests(const std::string& device, size_t from, size_t count) {
    return pumpUntil([&] { return requestsOf(device, from).size() >= count; }, 3000);
}

} // namespace iomira::test
