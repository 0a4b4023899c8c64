// The maximum number of replies the Tevron_ layer keeps (Start_Library sets it).
#pragma once

namespace nexolt {
int default_maximum();
} // namespace nexolt
