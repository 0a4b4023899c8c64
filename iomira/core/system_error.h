#pragma once

#include <QString>

namespace iomira {

// "[%d] %s" for an errno value: the system's text with its line breaks taken out, as the
// program shows a failed file or socket call.
QString systemErrorText(int code);

} // namespace iomira
