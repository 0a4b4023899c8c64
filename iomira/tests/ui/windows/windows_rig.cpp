#include "windows_rig.h"

#include "core/controller_keys.h"
#include "corvel/corvel.h"

#include <QCoreApplication>

#include <chrono>

namespace iomira::test {

namespace {

std::string deviceFile(const std::vector<RigController>& controllers) {
    std::string text;
    for (const RigController& c : controllers)
        text += "[" + c.device + "]\nmodel = " + c.model + "\nlisten = 127.0.0.1:0\n";
    return text;
}

} // namespace

WindowsRig::WindowsRig(const std::vector<RigController>& controllers, const QStringList& groups)
    : sim(deviceFile(controllers)), controllers_(controllers) {
    const QString storePath = dir.filePath(QStringLiteral("store.sqlite"));
    qputenv("IOMIRA_STORE", storePath.toUtf8());
    qputenv("IOMIRA_DOCUMENTS", dir.filePath(QStringLiteral("documents")).toUtf8());
    seed = SqliteStore::open(storePath, nullptr);
    std::vector<SeedController> list;
    for (const RigController& c : controllers)
        list.push_back({QString::fromStdString(c.model), QString::fromStdString(c.device),
                        sim.port(c.device), c.group});
    writeSeedStore(*seed, groups, list);
}

WindowsRig::~WindowsRig() {
    app.reset();
    qunsetenv("IOMIRA_STORE");
    qunsetenv("IOMIRA_DOCUMENTS");
}

bool WindowsRig::start() {
    app = std::make_unique<CQuorvis2App>();
    app->setPrompts(&prompts);
    return app->InitInstance();
}

CQUORVISData* WindowsRig::controller(const std::string& device) const {
    CQUORVISData* found = nullptr;
    app->controllers().forEach([&](const CQUORVISData& c) {
        if (c.DeviceComment == QString::fromStdString(device))
            found = const_cast<CQUORVISData*>(&c);
    });
    return found;
}

int WindowsRig::deviceId(const std::string& device) const {
    const CQUORVISData* c = controller(device);
    return c ? c->DeviceId : -1;
}

// Established on our side may come before the simulator accepted; a test that then drops the
// connection needs the simulator to hold it.
bool WindowsRig::waitConnected(const std::string& device, int timeoutMs) {
    const int id = deviceId(device);
    return pumpUntil(
        [&] {
            return get_tcp_connection_state(id) == TCP_ESTABLISHED && sim.connections(device) > 0;
        },
        timeoutMs);
}

bool WindowsRig::waitSimulatorConnections(const std::string& device, size_t count) {
    return pumpUntil([&] { return sim.connections(device) == count; });
}

int WindowsRig::requests(const std::string& device, long function) const {
    int count = 0;
    for (const std::string& line : sim.log_lines()) {
        if (simtest::json_text(line, "device") != device) continue;
        if (function >= 0 && simtest::json_number(line, "function") != function) continue;
        ++count;
    }
    return count;
}

CQUORVISData WindowsRig::stored(const std::string& device) const {
    KeyValues values;
    seed->readKey(controllerKeyName(deviceId(device)), values);
    return readController(values);
}

} // namespace iomira::test
