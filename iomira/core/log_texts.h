#pragma once

#include <QString>

namespace iomira {

// The message of an event log line, by the string-table id the program knows it under.
// Log files are read by people and tools that expect these words, so they are English in
// every language; only Modbus exception texts come from the string table. An id that names
// no log message gives an empty text.
QString logText(int textId);

} // namespace iomira
