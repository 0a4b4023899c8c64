#pragma once

#include <array>

namespace iomira {

class CQUORVISData;

// What a click on an output does, before the warning question is asked.
enum class OutputClick {
    Ignore,     // not connected
    Restricted, // OutputPortControl: only the notice
    Pulse,      // the controller pulses the port for DurationDo
    RlxPulse,   // an RLX-830 port with its own pulse function
    Toggle,     // a coil write of the opposite state
};

OutputClick outputClick(const CQUORVISData& c, int port, int connectionState, bool rlxPulseFlag);

inline constexpr int kPulseTimerFirstId = 1235; // one timer per output, 1235 to 1242
inline constexpr int kCoilReadTimerId = 4567;
inline constexpr int kPulseGraceMs = 500;

// The pulse's own length plus a grace, after which the outputs are read back.
int pulseTimerMs(const CQUORVISData& c, int port);
// A generic controller answers a coil write at once; the RLX families need a moment.
int coilReadDelayMs(int deviceType);

// One pulse at a time per window: a second click while a pulse is under way sends nothing.
// The pulse is over once its timer fired and the outputs read after it were answered.
class PulseTracker {
  public:
    bool pending() const { return pendingPort_ >= 0; }
    int pendingPort() const { return pendingPort_; }
    void started(int port);
    // The port's timer fired: its pulse has run out.
    void timerFired(int port);
    // The outputs were answered; true when that ended the pending pulse.
    bool outputsAnswered();

  private:
    int pendingPort_ = -1;
    std::array<bool, 8> finished_{};
};

} // namespace iomira
