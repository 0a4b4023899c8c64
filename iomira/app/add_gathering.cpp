#include "app/add_gathering.h"

#include "core/controller_table.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <algorithm>

namespace iomira {

namespace {

bool sameServer(const CQUORVISData& a, const CQUORVISData& b) {
    return a.IsServer == b.IsServer && a.HostPort == b.HostPort;
}

bool serverTaken(const CQUORVISData& record, const ControllerTable& registered,
                 const std::vector<CQUORVISData>& accepted) {
    if (record.IsServer <= 0) return false;
    bool taken = std::any_of(accepted.begin(), accepted.end(),
                             [&](const CQUORVISData& a) { return sameServer(a, record); });
    registered.forEach([&](const CQUORVISData& c) { taken = taken || sameServer(c, record); });
    return taken;
}

} // namespace

Gathering gatherFoundRows(const std::vector<FoundRow>& chosen, const FoundResults& results,
                          int rootId, const ControllerTable& registered) {
    Gathering g;
    for (const FoundRow& row : chosen) {
        std::optional<CQUORVISData> record = recordFromRow(row, results, rootId);
        if (!record) {
            g.buildFailed = true;
            g.accepted.clear();
            return g;
        }
        if (serverTaken(*record, registered, g.accepted)) {
            g.rejected << row.information;
            continue;
        }
        record->DeviceId = -static_cast<int>(g.accepted.size()) - 1;
        record->Index = static_cast<int>(g.accepted.size());
        g.accepted.push_back(std::move(*record));
    }
    return g;
}

Gathering gatherManualRecord(const CQUORVISData& record, const ControllerTable& registered) {
    Gathering g;
    if (serverTaken(record, registered, {})) {
        g.rejected << record.DeviceComment;
        return g;
    }
    g.accepted.push_back(record);
    g.accepted.back().DeviceId = 1;
    g.accepted.back().Index = 0;
    return g;
}

QString rejectedQuestion(const QStringList& rejected, bool searchPage) {
    QString text;
    for (const QString& name : rejected)
        text += name + QLatin1Char('\n');
    if (searchPage) text += QLatin1Char('\n');
    return text + loadString(TEXT_ALREADY_REGISTERED);
}

bool exceedsGroup(const ControllerTable& registered, int rootId, std::size_t adding) {
    return registered.CountInGroup(rootId) + static_cast<int>(adding) > kMaxControllersPerGroup;
}

} // namespace iomira
