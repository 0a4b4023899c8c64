#pragma once

#include "core/log_entries.h"
#include "core/quorvis_data.h"
#include "monitor/analog_scale.h"
#include "monitor/log_switches.h"
#include "monitor/port_state.h"
#include "monitor/pulse_rules.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace iomira {

class MonitorLog;

// A controller's port values as Corvel last received them, for a window's redraw.
struct PortValues {
    std::array<int, kDigitalPorts> inputs{};
    std::array<int, kDigitalPorts> outputs{};
    bool inputError = false;
    bool outputError = false;
};

// A lamp as a window shows it: its picture and its tooltip.
struct LampShown {
    LampImage image;
    QString tooltip;
};

// What a window does after a data notification; any read it calls for has been sent.
struct DataReaction {
    bool redraw = false;
    bool inputsFailed = false;   // every input lamp shows its error image
    bool outputsFailed = false;  // every output lamp shows the grey error image
    int readOutputsAfterMs = -1; // start the window's delayed output read
    int readAllAfterMs = -1;     // start the window's delayed read of every input register
    bool fullRefresh = false;    // status line, icon and every value again
    int exceptionCode = 0;       // to show once the notification has returned
};

// What a connection notification changes in a window.
struct ConnectionReaction {
    bool redraw = false;
    // The connection failed: every lamp keeps its picture and is marked unknown.
    bool lampsUnknown = false;
    std::optional<StatusLine> status;
};

// An analog channel as its window shows it.
struct AnalogDisplay {
    QString name; // with the leading space of the window's labels
    QString value;
    BarRange bar;
    int position = 0;
};

// The RLX-840's temperature: the value text (empty: keep the last one, the sensor failed) and,
// while its sensor reports an error, the status line's text.
struct TemperatureDisplay {
    QString value;
    QString sensorError;
    BarRange bar;
    int position = 0;
};

// What a window tells the user after a click, and the timer a sent pulse needs.
struct CommandOutcome {
    QString message;       // a failure to show; empty when none
    int pulseTimerMs = -1; // read the outputs back after this, when a pulse was sent
};

// The requests a controller window sends and the values it shows, for every family: reads on
// demand, coil writes and pulses, the read that follows each notification and the exception
// to show. Log lines go through the monitor log; message boxes and widgets stay in the window.
class ControllerCommands {
  public:
    ControllerCommands(const CQUORVISData& controller, MonitorLog* log);

    // Another controller: pending pulses and pulse flags start over.
    void setController(const CQUORVISData& controller);

    int connectionState() const;
    StatusLine status() const;
    PortValues ports() const;
    // True while the lamps cannot show the ports' values: not connected, or not answering.
    bool valuesUnknown() const;
    // The lamps of `values` (as ports() gave them), unknown while valuesUnknown().
    LampShown inputLampShown(int port, const PortValues& values) const;
    LampShown outputLampShown(int port, const PortValues& values) const;
    // A lamp that keeps the picture it shows, marked unknown (`kind` CORVEL_KIND_INPUT or
    // CORVEL_KIND_OUTPUT).
    LampShown unknownLamp(LampImage shown, int kind, int port) const;
    // 1 when an RLX-830 or RLX-850 output is pulsed by the controller itself.
    int pulseFlag(int port) const { return pulseFlags_[port]; }
    // Takes the flags Corvel last received (a window opened after they arrived).
    void readPulseFlags();
    // A counter's text; empty unless the counter is switched on.
    QString counterText(int counter) const;
    AnalogDisplay analog(int channel) const;
    // `logError` logs the sensor's error when there is one (once per read).
    TemperatureDisplay temperature(bool logError = false);
    const PulseTracker& pulses() const { return pulses_; }

    // Reads the inputs when connected.
    CommandOutcome readInputs();
    // An RLX window's lamp click: every input register of the family, when connected and not
    // polled anyway.
    bool inputClickReads() const;
    CommandOutcome readAllInputs();
    // The delayed read after a coil write; `logged` writes the request line.
    void readAllInputsLater(bool logged);
    // A counter may be reset when connected and counting.
    bool counterResettable(int counter) const;
    CommandOutcome resetCounter(int counter);
    // Reads the outputs back (after a coil write or a pulse answer).
    void readOutputs();
    // A pulse's time has run out: its outputs are read back.
    void pulseTimeUp(int port);

    // What a click on an output would do now, before any question is asked.
    OutputClick outputAction(int port) const;
    // Sends the write of `action` to an output whose shown value is `shownValue`.
    CommandOutcome switchOutput(int port, OutputClick action, int shownValue);

    // The digital window's reactions (generic controllers and the RLX-830).
    DataReaction dataArrived(int code);
    // The reactions of the RLX-810, RLX-820, RLX-840 and RLX-850 windows.
    DataReaction modelDataArrived(int code);
    ConnectionReaction connectionChanged(intptr_t lparam) const;

  private:
    static constexpr int kDefaultTag = 0; // answers to it are reported by Corvel
    static constexpr int kModelReadDelayMs = 100;

    DataReaction withoutRepeatedException(int code, DataReaction reaction);
    DataReaction digitalDataArrived(int code);
    DataReaction familyDataArrived(int code);
    DataReaction rlx850DataArrived(int code);
    DataReaction rlx820DataArrived(int code);
    CommandOutcome readOutcome(int result, int32_t error);
    void sendReadOutputs(LogCategory category);
    int sendPulse(int port, int32_t& error, CommandOutcome& outcome);
    int sendRlxPulse(int port, int32_t& error);
    int sendToggle(int port, int shownValue, int32_t& error);
    void log(LogCategory category, int textId, int port = -1, int value = LOG_VALUE_NONE);
    // The tooltip a lamp has whatever its state (a generic pulse output's "DO%d").
    QString portTooltip(int kind, int port) const;
    LampShown lampShown(LampImage image, int kind, int port, bool unknown) const;

    const CQUORVISData* c_;
    MonitorLog* log_;
    std::array<int, kDigitalPorts> pulseFlags_{};
    // The exception shown for each kind of read (inputs, outputs, a register), until a good
    // answer of that kind.
    std::array<int, 3> shownReadExceptions_{};
    PulseTracker pulses_;
};

} // namespace iomira
