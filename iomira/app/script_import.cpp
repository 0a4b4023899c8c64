#include "app/script_import.h"

#include "app/group_arranger.h"
#include "app/script_keys.h"
#include "core/texts.h"

#include <vector>

namespace iomira {

ScriptImportSummary importScript(ControllerDirectory& directory, const ScriptReadOutcome& outcome,
                                 const ControllerDirectory::TableProgress& progress) {
    ScriptImportSummary summary;
    summary.read = static_cast<int>(outcome.records.size());
    summary.warnings = outcome.warnings;
    if (!outcome.error.isEmpty()) return summary;
    std::vector<CQUORVISData> table;
    table.reserve(outcome.records.size());
    GroupArranger arranger = directory.arranger();
    for (const ScriptRecord& read : outcome.records) {
        // The groups are made before any controller is added, so the limit of 30 is
        // counted again by the adding, controllers of this script included.
        const int rootId = arranger.placeByGroupName(read.groupName);
        if (rootId < 0) continue; // no group could be made; already told
        table.push_back(read.record);
        table.back().RootID = rootId;
    }
    summary.added = directory.addTable(table, progress).added;
    return summary;
}

bool scriptImportShowsProgress(const ScriptReadOutcome& outcome) {
    return static_cast<int>(outcome.records.size()) >= kScriptProgressFrom;
}

bool scriptSummaryWanted(const ScriptImportSummary& summary) {
    return !summary.warnings.isEmpty() || summary.added < summary.read;
}

QString scriptSummaryText(const ScriptImportSummary& summary) {
    QString text = scriptText(TEXT_SCRIPT_SUMMARY,
                              {QString::number(summary.read), QString::number(summary.added)});
    if (summary.warnings.isEmpty()) return text;
    text += QStringLiteral("\n");
    for (const QString& warning : summary.warnings.mid(0, kScriptWarningsListed))
        text += QStringLiteral("\n") + warning;
    const qsizetype rest = summary.warnings.size() - kScriptWarningsListed;
    if (rest > 0)
        text +=
            QStringLiteral("\n") + scriptText(TEXT_SCRIPT_MORE_WARNINGS, {QString::number(rest)});
    return text;
}

} // namespace iomira
