#pragma once

#include "core/quorvis_data.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace iomira {

class CROOTDataList;

// What the start-up check changed in one stored controller, as lines for the operator.
struct ControllerRepair {
    int deviceId = 0;
    QString name;
    QStringList changes;
};

// Brings the values of loaded controllers that no dialog writes back to the nearest usable
// ones: an unknown family becomes a generic controller, port counts go into what the family
// has, the port number into 1..65535. With `groups`, a controller of a group that does not
// exist moves to the default group, and in every group a taken or out-of-range position is
// replaced by a free one, so that the positions of a group run from 0 without a gap: the walk
// at start-up finds a controller by group and position. Moved controllers take the free
// positions last, after the group's own ones. Returns the repaired controllers in the order of
// `records`.
std::vector<ControllerRepair> repairControllers(std::vector<CQUORVISData>& records,
                                                const CROOTDataList* groups);

// The one message that tells the operator which controllers were repaired and how, in the
// order of their ids.
QString repairsMessage(std::vector<ControllerRepair> repairs);

} // namespace iomira
