#pragma once

#include "core/quorvis_data.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace iomira {

// One controller of a script, before it is registered.
struct ScriptRecord {
    CQUORVISData record; // RootID not yet set
    QString groupName;   // the Group value, empty when missing
    int line = 0;        // 1-based line of the section start (INI) or the row (CSV)
};

struct ScriptReadOutcome {
    std::vector<ScriptRecord> records;
    QStringList warnings; // translated, one per problem, each naming its line
    QString error;        // set when the file could not be opened ("[%d] %s") or was refused
};

enum class ScriptForm { None, Ini, Csv };

// The form a script file has by its extension, case ignored.
ScriptForm scriptFormOf(const QString& path);
// A script of "[CONTROLLER]" sections, one "Key=value" line per setting.
ScriptReadOutcome readIniScript(const QByteArray& bytes);
// A script whose header row names the columns, one row per controller.
ScriptReadOutcome readCsvScript(const QByteArray& bytes);
// Opens the file and reads it in the form its extension names.
ScriptReadOutcome readScriptFile(const QString& path);

} // namespace iomira
