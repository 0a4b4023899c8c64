#pragma once
// The faults a soak run puts on the simulator's devices, drawn from a seeded generator so that
// a run can be repeated: each lasting fault is undone after a while, and the inputs change
// all along.

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace iomira::bench {

struct SoakDevice {
    std::string name;
    int inputs = 0;
    int analog = 0;
};

struct SoakRates {
    int faultGapMinMs = 1000, faultGapMaxMs = 3000; // between two faults
    int faultLastsMinMs = 2000, faultLastsMaxMs = 20000;
    int inputGapMinMs = 200, inputGapMaxMs = 800; // between two input changes
    int delayMinMs = 200, delayMaxMs = 5000;      // the answer delay of a delay fault
};

enum class FaultKind { Drop, Malformed, Silent, Exception, Delay, Refuse, Count };
const char* faultKindName(FaultKind kind);

class FaultPlan {
  public:
    FaultPlan(std::vector<SoakDevice> devices, uint64_t seed, SoakRates rates = {});

    // The simulator commands due at `nowMs`: ends of faults, new faults while faults are on,
    // and input changes. Times only go forward. Each comes at its own planned time whatever
    // the steps, so a seed repeats its faults and its input changes (each drawn from a
    // generator of its own) relative to the start of faults.
    std::vector<std::string> step(int64_t nowMs);
    // New faults from `nowMs` on.
    void startFaults(int64_t nowMs);
    // Stops new faults; the one command that undoes every fault still on.
    std::vector<std::string> clearAll();

    bool faultsOn() const { return faultsOn_; }
    int injected() const;
    int injected(FaultKind kind) const { return injected_[size_t(kind)]; }
    // The devices under a lasting fault now.
    size_t activeCount() const { return active_.size(); }

  private:
    struct Active {
        size_t device;
        int64_t endsMs;
        std::string undo;
    };

    int64_t draw(int min, int max) { return draw(faultRandom_, min, max); }
    static int64_t draw(std::mt19937_64& random, int min, int max);
    int64_t nextEndMs() const;
    void endFault(std::vector<std::string>& out);
    void injectFault(int64_t atMs, std::vector<std::string>& out);
    std::string inputChange();
    bool underFault(size_t device) const;

    std::vector<SoakDevice> devices_;
    std::vector<size_t> withInputs_;
    SoakRates rates_;
    std::mt19937_64 faultRandom_;
    std::mt19937_64 inputRandom_;
    std::vector<Active> active_;
    std::array<int, size_t(FaultKind::Count)> injected_{};
    bool faultsOn_ = false;
    int64_t nextFaultMs_ = 0;
    int64_t nextInputMs_ = 0;
};

} // namespace iomira::bench
