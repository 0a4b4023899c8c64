#include "app/manage_log_dialog_lists.h"

#include "core/controller_table.h"
#include "core/root_data.h"

#include <algorithm>

namespace iomira {

bool lengthFirstLess(const QString& a, const QString& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](QChar x, QChar y) { return x.unicode() < y.unicode(); });
}

namespace {

QString groupName(const CROOTDataList& groups, int rootId) {
    const CROOTData* g = groups.find(rootId);
    return g ? g->RootName : QString();
}

std::vector<LogListRow> rows(const ControllerTable& table, const CROOTDataList& groups, bool logged,
                             bool oneGroup, int rootId) {
    std::vector<LogListRow> out;
    table.forEach([&](const CQUORVISData& c) {
        if ((c.UseLog == 1) != logged) return;
        if (oneGroup && c.RootID != rootId) return;
        if (!groups.find(c.RootID)) return;
        out.push_back({groupName(groups, c.RootID), c.DeviceComment, c.DeviceId});
    });
    return out;
}

} // namespace

std::vector<LogListRow> unloggedInGroup(const ControllerTable& table, const CROOTDataList& groups,
                                        int rootId) {
    return rows(table, groups, false, true, rootId);
}

std::vector<LogListRow> loggedControllers(const ControllerTable& table,
                                          const CROOTDataList& groups) {
    std::vector<LogListRow> out = rows(table, groups, true, false, 0);
    std::stable_sort(out.begin(), out.end(), [](const LogListRow& a, const LogListRow& b) {
        if (a.group != b.group) return lengthFirstLess(a.group, b.group);
        return lengthFirstLess(a.name, b.name);
    });
    return out;
}

} // namespace iomira
