#pragma once

#include <QString>

#include <vector>

namespace iomira {

class CROOTDataList;
class ControllerTable;

struct LogListRow {
    QString group;
    QString name;
    int deviceId = 0;
    bool operator==(const LogListRow&) const = default;
};

// The shorter text first; texts of one length by their character codes.
bool lengthFirstLess(const QString& a, const QString& b);

// Controllers of one group that are not logged (the list sorts them itself).
std::vector<LogListRow> unloggedInGroup(const ControllerTable& table, const CROOTDataList& groups,
                                        int rootId);
// Every logged controller of every group, by group name, then by name.
std::vector<LogListRow> loggedControllers(const ControllerTable& table,
                                          const CROOTDataList& groups);

} // namespace iomira
