#pragma once
// The RLX controllers' unsolicited change report (function 0x6C): start address, quantity,
// byte count and the registers; inputs at 240, outputs at 320, counters at 160.

#include "device.h"
#include "frame.h"

#include <span>
#include <vector>

namespace tevronsim {

constexpr std::uint16_t kReportInputs = 240;
constexpr std::uint16_t kReportOutputs = 320;
constexpr std::uint16_t kReportCounters = 160;

Bytes change_report_pdu(std::uint16_t address, std::span<const std::uint16_t> registers);
// The reports owed for the step from before to after, for the ports the model has.
std::vector<Bytes> change_reports(const ModelInfo& model, const IoState& before,
                                  const IoState& after);

} // namespace tevronsim
