#pragma once

#include "monitor/analog_scale.h"

#include <cstdint>

namespace iomira {

// Colours are stored as 0x00BBGGRR.
inline constexpr uint32_t kBlackText = 0x00000000;
inline constexpr uint32_t kWhiteText = 0x00FFFFFF;

// The text colour that stays readable in the middle of a bar drawn in a channel's two colours,
// where the bar's text sits: over the filled part once the position reaches the middle, else
// over the rest.
uint32_t barTextColor(uint32_t foreground, uint32_t background, const BarRange& bar, int position);

} // namespace iomira
