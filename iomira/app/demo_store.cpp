#include "app/demo_store.h"

#include "core/controller_keys.h"
#include "core/device_family.h"
#include "core/group_store.h"
#include "core/root_data.h"

#include <QStringList>

namespace iomira {

CQUORVISData seedRecord(const QString& model, int port, const QString& host) {
    CQUORVISData record = recordForModel(model);
    record.HostAddr = host;
    record.HostPort = port;
    record.AutomaticConnection = 1;
    record.UseLog = 1;
    return record;
}

namespace {

// Channels and counters switched on, so that the model windows have something to show.
void showDemoChannels(CQUORVISData& record) {
    if (usesCounterFlags(record.DeviceType)) record.DiCounter = {1, 1, 1, 1};
    if (!usesAnalog(record.DeviceType) || record.DeviceType == FAMILY_RLX840) return;
    const char* const names[] = {"Tank 1", "Tank 2", "Pressure", "Flow"};
    const char* const units[] = {"m", "m", "bar", "m3/h"};
    const char* const maxima[] = {"5", "5", "10", "250"};
    const uint32_t colours[] = {0x00C08000, 0x00C08000, 0x000080C0, 0x00008000};
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        record.AI[ch] = 1;
        record.AIName[ch] = QString::fromLatin1(names[ch]);
        record.AIUnit[ch] = QString::fromLatin1(units[ch]);
        record.AIMin[ch] = QStringLiteral("0");
        record.AIMax[ch] = QString::fromLatin1(maxima[ch]);
        record.AIFgColor[ch] = colours[ch];
        record.AIBgColor[ch] = 0x00FFFFFF;
    }
}

} // namespace

bool writeSeedStore(Store& store, const QStringList& groupNames,
                    const std::vector<SeedController>& controllers, bool useLog) {
    for (int i = 0; i < groupNames.size(); ++i) {
        if (!saveGroup(store, CROOTData(i, groupNames[i], i))) return false;
    }
    std::vector<int> counts(groupNames.size(), 0);
    for (size_t i = 0; i < controllers.size(); ++i) {
        const SeedController& seed = controllers[i];
        CQUORVISData record = seedRecord(seed.model, seed.port, seed.host);
        if (record.DeviceType < 0 || seed.group < 0 || seed.group >= groupNames.size())
            return false;
        record.DeviceId = static_cast<int>(i) + 1;
        record.DeviceComment = seed.name;
        record.RootID = seed.group;
        record.Index = counts[seed.group]++;
        record.LastOpened = i == 0 ? 1 : 0;
        record.UseLog = useLog ? 1 : 0;
        showDemoChannels(record);
        if (!saveController(store, record)) return false;
    }
    return true;
}

QStringList demoGroups() {
    return {QStringLiteral("Digital I/O"), QStringLiteral("RLX family")};
}

std::vector<SeedController> demoControllers(int firstPort) {
    const char* const models[] = {"TKA-31",  "TKA-21",  "TKA-33", "TKA-35",  "TKA-31P",
                                  "TKA-33P", "TKA-35P", "TKB-11", "RLX-810", "RLX-820",
                                  "RLX-830", "RLX-850", "RLX-840"};
    const char* const names[] = {"Boiler room",  "Loading dock", "Gate",      "Pump station",
                                 "Packing line", "Cold store",   "Roof fans", "Door bell",
                                 "Tank levels",  "Flow meters",  "Sirens",    "Press 2",
                                 "Server room"};
    std::vector<SeedController> out;
    int port = firstPort;
    for (size_t i = 0; i < std::size(models); ++i) {
        const QString model = QString::fromLatin1(models[i]);
        // The simulator gives each demo device the address 127.0.0.2 and up, in this order.
        out.push_back({model, QStringLiteral("%1 (%2)").arg(QLatin1String(names[i]), model), port++,
                       model.startsWith(QLatin1String("RLX")) ? 1 : 0,
                       QStringLiteral("127.0.0.%1").arg(i + 2)});
    }
    return out;
}

} // namespace iomira
