#pragma once

#include "app/controller_directory.h"
#include "app/script_reader.h"

#include <QString>
#include <QStringList>

namespace iomira {

struct ScriptImportSummary {
    int read = 0;
    int added = 0;
    QStringList warnings;
};

// Resolves each record's group by name (creating missing groups, as the reading does),
// then lets the directory add the table; progress as addTable's.
ScriptImportSummary importScript(ControllerDirectory& directory, const ScriptReadOutcome& outcome,
                                 const ControllerDirectory::TableProgress& progress = {});

// Above this many controllers the adding shows how far it is.
inline constexpr int kScriptProgressFrom = 101;
bool scriptImportShowsProgress(const ScriptReadOutcome& outcome);

// After an import: told only when something was wrong with the file or a controller was not
// added. At most this many warnings are listed; the rest are counted.
inline constexpr int kScriptWarningsListed = 20;
bool scriptSummaryWanted(const ScriptImportSummary& summary);
QString scriptSummaryText(const ScriptImportSummary& summary);

} // namespace iomira
