#pragma once

#include <QString>

namespace iomira {

class CQUORVISData;

// The level choices of an output, in the order the level list offers them.
enum class PulseLevel { Disable, Low, High };

inline constexpr int kPulseMinMs = 40;
inline constexpr int kPulseMaxMs = 10000;
inline constexpr int kUnpulsedLengthMs = 1000; // what the length field offers a plain output
inline constexpr int kHighPulseLevel = 255;

// Outputs whose pulse can be set: only the plain TKA and TKB models have the pulse function.
int pulseOutputCount(const QString& model);

PulseLevel pulseLevel(const CQUORVISData& record, int output);
// The length the field shows: the stored one for a pulsed output, else the offered default.
int shownPulseLength(const CQUORVISData& record, int output);
// "DO3-HIGH-1000ms", "DO0-Disable".
QString pulseLineText(const CQUORVISData& record, int output);

// A typed length as a whole number within 40 to 10000 ms; text that is no number reads as 0.
int pulseLengthFromText(const QString& text);
// Rewrites one output from the level and length fields.
void applyPulse(CQUORVISData& record, int output, PulseLevel level, const QString& lengthText);

} // namespace iomira
