#include "core/controller_repair.h"

#include "core/device_family.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <algorithm>
#include <map>
#include <set>

namespace iomira {

namespace {

constexpr int kHighestPort = 65535;
// A port that was never set (0, or below) gets the Modbus/TCP port.
constexpr int kModbusTcpPort = 502;

struct PortLimits {
    int inputs = 0;
    int outputs = 0;
};

// The most ports any product of the family has.
PortLimits portLimits(int deviceType) {
    PortLimits limits;
    for (const ProductChoice& p : productChoices()) {
        if (p.deviceType != deviceType) continue;
        limits.inputs = std::max(limits.inputs, p.inputs);
        limits.outputs = std::max(limits.outputs, p.outputs);
    }
    return limits;
}

QString changeText(int text, int from, int to) {
    return loadString(text).arg(from).arg(to);
}

void repairFamily(CQUORVISData& c, QStringList& changes) {
    if (isKnownFamily(c.DeviceType)) return;
    changes << loadString(TEXT_REPAIRED_FAMILY).arg(c.DeviceType);
    c.DeviceType = FAMILY_GENERIC;
}

void repairCount(int& count, int highest, int text, QStringList& changes) {
    const int repaired = std::clamp(count, 0, highest);
    if (repaired == count) return;
    changes << changeText(text, count, repaired);
    count = repaired;
}

void repairValues(CQUORVISData& c, QStringList& changes) {
    repairFamily(c, changes);
    const PortLimits limits = portLimits(c.DeviceType);
    repairCount(c.NumberOfPortInput, limits.inputs, TEXT_REPAIRED_INPUTS, changes);
    repairCount(c.NumberOfPortOutput, limits.outputs, TEXT_REPAIRED_OUTPUTS, changes);
    const int port = c.HostPort < 1 ? kModbusTcpPort : std::min(c.HostPort, kHighestPort);
    if (port != c.HostPort) changes << changeText(TEXT_REPAIRED_PORT, c.HostPort, port);
    c.HostPort = port;
}

// The group at position 0, or the first one when no group holds that position.
const CROOTData* defaultGroup(const CROOTDataList& groups) {
    if (const CROOTData* first = groups.GroupAt(0)) return first;
    const CROOTData* lowest = nullptr;
    groups.forEach([&](const CROOTData& g) {
        if (!lowest || g.Index < lowest->Index) lowest = &g;
    });
    return lowest;
}

// Positions 0..n-1 for the n controllers of one group (indexes into `records`): the first
// controller at an in-range position keeps it; the others take the free positions in the order
// of their stored ones, the controllers moved in from elsewhere (`movedIn`) last.
void placeInGroup(std::vector<CQUORVISData>& records, const std::vector<size_t>& members,
                  const std::set<size_t>& movedIn, std::vector<QStringList>& changes) {
    const int count = static_cast<int>(members.size());
    std::vector<size_t> order = members;
    auto rank = [&](size_t i) {
        const bool moved = movedIn.count(i) != 0;
        return std::pair(moved, moved ? 0 : records[i].Index);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return rank(a) < rank(b); });
    std::vector<bool> taken(count, false);
    std::vector<size_t> displaced;
    for (size_t i : order) {
        const int index = records[i].Index;
        if (!movedIn.count(i) && index >= 0 && index < count && !taken[index]) {
            taken[index] = true;
        } else {
            displaced.push_back(i);
        }
    }
    int free = 0;
    for (size_t i : displaced) {
        while (taken[free])
            ++free;
        taken[free] = true;
        if (!movedIn.count(i))
            changes[i] << changeText(TEXT_REPAIRED_POSITION, records[i].Index + 1, free + 1);
        records[i].Index = free;
    }
}

void repairPlacement(std::vector<CQUORVISData>& records, const CROOTDataList& groups,
                     std::vector<QStringList>& changes) {
    const CROOTData* fallback = defaultGroup(groups);
    if (!fallback) return;
    std::map<int, std::vector<size_t>> members;
    std::set<size_t> movedIn;
    for (size_t i = 0; i < records.size(); ++i) {
        CQUORVISData& c = records[i];
        if (!groups.find(c.RootID)) {
            changes[i] << loadString(TEXT_REPAIRED_GROUP)
                              .arg(QString::number(c.RootID), fallback->RootName);
            c.RootID = fallback->RootID;
            movedIn.insert(i);
        }
        members[c.RootID].push_back(i);
    }
    for (const auto& [rootId, group] : members)
        placeInGroup(records, group, movedIn, changes);
}

} // namespace

std::vector<ControllerRepair> repairControllers(std::vector<CQUORVISData>& records,
                                                const CROOTDataList* groups) {
    std::vector<QStringList> changes(records.size());
    for (size_t i = 0; i < records.size(); ++i)
        repairValues(records[i], changes[i]);
    if (groups) repairPlacement(records, *groups, changes);
    std::vector<ControllerRepair> repairs;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!changes[i].isEmpty())
            repairs.push_back({records[i].DeviceId, records[i].DeviceComment, changes[i]});
    }
    return repairs;
}

QString repairsMessage(std::vector<ControllerRepair> repairs) {
    std::sort(repairs.begin(), repairs.end(),
              [](const ControllerRepair& a, const ControllerRepair& b) {
                  return a.deviceId < b.deviceId;
              });
    QStringList lines;
    for (const ControllerRepair& r : repairs) {
        lines << loadString(TEXT_REPAIRED_CONTROLLER)
                     .arg(r.name, QString::number(r.deviceId),
                          r.changes.join(QStringLiteral("; ")));
    }
    return loadString(TEXT_REPAIRED_CONTROLLERS).arg(lines.join(QLatin1Char('\n')));
}

} // namespace iomira
