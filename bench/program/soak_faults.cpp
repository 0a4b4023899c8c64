#include "soak_faults.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <numeric>

namespace iomira::bench {

namespace {

// Illegal function, illegal address, illegal value, device failure, busy.
constexpr int kExceptionCodes[] = {1, 2, 3, 4, 6};
constexpr const char* kMalformedKinds[] = {"length", "function", "count"};

} // namespace

const char* faultKindName(FaultKind kind) {
    switch (kind) {
    case FaultKind::Drop:
        return "drop";
    case FaultKind::Malformed:
        return "malformed";
    case FaultKind::Silent:
        return "silent";
    case FaultKind::Exception:
        return "exception";
    case FaultKind::Delay:
        return "delay";
    case FaultKind::Refuse:
        return "refuse";
    case FaultKind::Count:
        break;
    }
    return "?";
}

FaultPlan::FaultPlan(std::vector<SoakDevice> devices, uint64_t seed, SoakRates rates)
    : devices_(std::move(devices)), rates_(rates), faultRandom_(seed),
      inputRandom_(seed ^ 0x9E3779B97F4A7C15ull) {
    for (size_t i = 0; i < devices_.size(); ++i) {
        if (devices_[i].inputs > 0 || devices_[i].analog > 0) withInputs_.push_back(i);
    }
}

int64_t FaultPlan::draw(std::mt19937_64& random, int min, int max) {
    return std::uniform_int_distribution<int64_t>(min, max)(random);
}

int FaultPlan::injected() const {
    return std::accumulate(injected_.begin(), injected_.end(), 0);
}

void FaultPlan::startFaults(int64_t nowMs) {
    faultsOn_ = true;
    nextFaultMs_ = nowMs + draw(rates_.faultGapMinMs, rates_.faultGapMaxMs);
}

std::vector<std::string> FaultPlan::clearAll() {
    faultsOn_ = false;
    active_.clear();
    return {"resume *"};
}

std::vector<std::string> FaultPlan::step(int64_t nowMs) {
    std::vector<std::string> out;
    // Ends and new faults in the order of their times, so that a new fault finds the same
    // devices free whatever the step.
    for (;;) {
        const int64_t endMs = nextEndMs();
        const int64_t faultMs = faultsOn_ ? nextFaultMs_ : INT64_MAX;
        if (std::min(endMs, faultMs) > nowMs) break;
        if (endMs <= faultMs) {
            endFault(out);
        } else {
            injectFault(faultMs, out);
            nextFaultMs_ += draw(rates_.faultGapMinMs, rates_.faultGapMaxMs);
        }
    }
    while (!withInputs_.empty() && nowMs >= nextInputMs_) {
        out.push_back(inputChange());
        nextInputMs_ += draw(inputRandom_, rates_.inputGapMinMs, rates_.inputGapMaxMs);
    }
    return out;
}

int64_t FaultPlan::nextEndMs() const {
    int64_t earliest = INT64_MAX;
    for (const Active& a : active_)
        earliest = std::min(earliest, a.endsMs);
    return earliest;
}

void FaultPlan::endFault(std::vector<std::string>& out) {
    const auto first =
        std::min_element(active_.begin(), active_.end(),
                         [](const Active& a, const Active& b) { return a.endsMs < b.endsMs; });
    out.push_back(first->undo);
    active_.erase(first);
}

bool FaultPlan::underFault(size_t device) const {
    return std::any_of(active_.begin(), active_.end(),
                       [device](const Active& a) { return a.device == device; });
}

// One fault on a device that is under none; none when every device already is.
void FaultPlan::injectFault(int64_t atMs, std::vector<std::string>& out) {
    if (active_.size() >= devices_.size()) return;
    size_t device = 0;
    do {
        device = size_t(draw(0, int(devices_.size()) - 1));
    } while (underFault(device));
    const std::string& name = devices_[device].name;
    const auto kind = FaultKind(draw(0, int(FaultKind::Count) - 1));
    ++injected_[size_t(kind)];
    const int64_t endsMs = atMs + draw(rates_.faultLastsMinMs, rates_.faultLastsMaxMs);
    switch (kind) {
    case FaultKind::Drop:
        out.push_back("drop " + name);
        return;
    case FaultKind::Malformed:
        out.push_back("malformed " + name + " " + kMalformedKinds[draw(0, 2)]);
        return;
    case FaultKind::Silent:
        out.push_back("silent " + name);
        active_.push_back({device, endsMs, "resume " + name});
        return;
    case FaultKind::Exception:
        out.push_back(
            "exception " + name + " " +
            std::to_string(kExceptionCodes[draw(0, int(std::size(kExceptionCodes)) - 1)]));
        active_.push_back({device, endsMs, "exception " + name + " 0"});
        return;
    case FaultKind::Delay:
        out.push_back("delay " + name + " " +
                      std::to_string(draw(rates_.delayMinMs, rates_.delayMaxMs)));
        active_.push_back({device, endsMs, "delay " + name + " 0"});
        return;
    case FaultKind::Refuse:
        // The open connection goes too, so that the program meets the refusal at once.
        out.push_back("refuse " + name + " on");
        out.push_back("drop " + name);
        active_.push_back({device, endsMs, "refuse " + name + " off"});
        return;
    case FaultKind::Count:
        return;
    }
}

std::string FaultPlan::inputChange() {
    auto draw = [this](int min, int max) { return FaultPlan::draw(inputRandom_, min, max); };
    const SoakDevice& d = devices_[withInputs_[size_t(draw(0, int(withInputs_.size()) - 1))]];
    const bool analog = d.analog > 0 && (d.inputs == 0 || draw(0, 1) == 1);
    if (analog)
        return "analog " + d.name + " " + std::to_string(draw(0, d.analog - 1)) + " " +
               std::to_string(draw(0, 0xFFFF));
    if (draw(0, 3) == 0)
        return "inputs " + d.name + " " + std::to_string(draw(0, (1 << d.inputs) - 1));
    return "input " + d.name + " " + std::to_string(draw(0, d.inputs - 1)) + " " +
           std::to_string(draw(0, 1));
}

} // namespace iomira::bench
