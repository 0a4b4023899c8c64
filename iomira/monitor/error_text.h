#pragma once

#include <QString>

namespace iomira {

// "[%d] %s" for an error Corvel reports: errno values read through strerror, a resolver
// failure (negative code) through gai_strerror; line breaks are taken out.
QString socketErrorText(int code);

// The string-table text of a Modbus exception code ("[Error 02] Illegal data address.").
QString modbusExceptionText(int code);

} // namespace iomira
