#include "monitor/polling_rig.h"

#include "core/device_family.h"
#include "monitor/corvel_registration.h"

#include <gtest/gtest.h>

namespace iomira::test {

CQUORVISData loopbackRecord(const QString& model, int port, const QString& name) {
    CQUORVISData record = recordForModel(model);
    record.HostAddr = QStringLiteral("127.0.0.1");
    record.HostPort = port;
    record.AutomaticConnection = 1;
    record.UseLog = 1;
    record.DeviceComment = name;
    return record;
}

MonitorRig::MonitorRig(const std::string& devices, PortChangeListener* listener)
    : sim(devices), connections(shared, files.monitorLog, events, [this] { return now; }),
      handler(shared, files.monitorLog, connections, events, listener ? *listener : ignored_),
      target_([this](uint32_t message, uintptr_t wparam, intptr_t lparam) {
          if (message == CORVEL_WM_CONNECTION)
              handler.onConnection(wparam, lparam);
          else
              handler.onData(wparam, lparam);
          if (alsoNotify) alsoNotify(message, wparam, lparam);
      }) {}

MonitorRig::~MonitorRig() {
    table.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
}

CQUORVISData& MonitorRig::insert(CQUORVISData record) {
    record.DeviceId = nextDeviceId();
    auto owned = std::make_unique<CQUORVISData>(record);
    CQUORVISData& ref = *owned;
    EXPECT_EQ(registerInCorvel(target_.window(), ref), CORVEL_OK);
    table.insert(std::move(owned));
    return ref;
}

CQUORVISData& MonitorRig::add(const std::string& device, const QString& model,
                              const QString& name) {
    return insert(loopbackRecord(model, sim.port(device), name));
}

CQUORVISData& MonitorRig::addUnreachable(const QString& name) {
    return insert(loopbackRecord(QStringLiteral("TKA-35"), simtest::free_port(false), name));
}

bool MonitorRig::waitState(const CQUORVISData& c, int state, int timeoutMs) {
    return pumpUntil([&] { return get_tcp_connection_state(c.DeviceId) == state; }, timeoutMs);
}

} // namespace iomira::test
