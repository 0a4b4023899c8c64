#include "monitor/bar_colors.h"

namespace iomira {

namespace {

// Perceived brightness from 0 to 255 (the usual video weights).
double brightness(uint32_t stored) {
    const double red = stored & 0xFF, green = (stored >> 8) & 0xFF, blue = (stored >> 16) & 0xFF;
    return 0.299 * red + 0.587 * green + 0.114 * blue;
}

} // namespace

uint32_t barTextColor(uint32_t foreground, uint32_t background, const BarRange& bar, int position) {
    const bool middleFilled = 2 * (int64_t{position} - bar.low) >= int64_t{bar.high} - bar.low;
    return brightness(middleFilled ? foreground : background) < 128 ? kWhiteText : kBlackText;
}

} // namespace iomira
