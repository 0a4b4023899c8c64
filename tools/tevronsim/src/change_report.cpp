#include "change_report.h"

#include "request_handler.h"

namespace tevronsim {

Bytes change_report_pdu(std::uint16_t address, std::span<const std::uint16_t> registers) {
    Bytes out{fn::kChangeReport};
    put_u16(out, address);
    put_u16(out, static_cast<std::uint16_t>(registers.size()));
    out.push_back(static_cast<std::uint8_t>(registers.size() * 2));
    for (auto r : registers)
        put_u16(out, r);
    return out;
}

std::vector<Bytes> change_reports(const ModelInfo& model, const IoState& before,
                                  const IoState& after) {
    std::vector<Bytes> out;
    if (model.inputs > 0 && before.inputs != after.inputs) {
        std::uint16_t word = after.inputs;
        out.push_back(change_report_pdu(kReportInputs, {&word, 1}));
    }
    if (model.outputs > 0 && before.outputs != after.outputs) {
        std::uint16_t word = after.outputs;
        out.push_back(change_report_pdu(kReportOutputs, {&word, 1}));
    }
    if (model.counters > 0 && before.counters != after.counters) {
        std::vector<std::uint16_t> words;
        for (int c = 0; c < model.counters; ++c) {
            words.push_back(static_cast<std::uint16_t>(after.counters[c] >> 16));
            words.push_back(static_cast<std::uint16_t>(after.counters[c]));
        }
        out.push_back(change_report_pdu(kReportCounters, words));
    }
    return out;
}

} // namespace tevronsim
