#pragma once

#include "app/found_records.h"
#include "core/quorvis_data.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace iomira {

class ControllerTable;

// The new controllers the add dialog would register, and the ones it turns away.
struct Gathering {
    std::vector<CQUORVISData> accepted; // temporary ids -1, -2, … in this order
    QStringList rejected;               // each as the dialog names it
    bool buildFailed = false;           // a chosen row gave no record: nothing is added
};

// The chosen rows of the search page, in list order. A TCP server whose mode and port a
// registered or an already accepted controller has is turned away.
Gathering gatherFoundRows(const std::vector<FoundRow>& chosen, const FoundResults& results,
                          int rootId, const ControllerTable& registered);
// The manual page's one record (temporary id 1), checked against the registered ones.
Gathering gatherManualRecord(const CQUORVISData& record, const ControllerTable& registered);

// The question listing the turned-away controllers; `searchPage` chooses the layout.
QString rejectedQuestion(const QStringList& rejected, bool searchPage);
// True when the group cannot take the accepted controllers.
bool exceedsGroup(const ControllerTable& registered, int rootId, std::size_t adding);

} // namespace iomira
