#pragma once

#include "monitor/lamp_image.h"

#include <QString>
#include <QStringList>

namespace iomira {

class CQUORVISData;

// What decides an input lamp: the value read, a read error, a sound assigned to the input.
struct InputFacts {
    int value = 0;
    bool readError = false;
    bool soundAssigned = false;
};

// What decides an output lamp, as read from the record, Corvel and the window.
struct OutputFacts {
    int value = 0;
    bool readError = false;
    bool restricted = false;   // OutputPortControl 1
    bool genericPulse = false; // family 0 with UsePulseDo
    bool pulseToOn = true;     // SignalLevelDo non-zero
    bool rlxPulse = false;     // RLX-830 port that the controller pulses itself
    bool warning = false;      // a question is asked before switching
};

LampImage inputLamp(const InputFacts& facts);
LampImage outputLamp(const OutputFacts& facts);

InputFacts inputFacts(const CQUORVISData& c, int port, int value, bool readError);
OutputFacts outputFacts(const CQUORVISData& c, int port, int value, bool readError,
                        bool rlxPulseFlag);

// True when switching this output asks the warning question first.
bool warningApplies(const CQUORVISData& c, int port);
// Family-0 outputs with a pulse carry the "DO%d" tooltip.
bool hasPulseTooltip(const CQUORVISData& c, int port);

// The status line and window icon of a connection state.
enum class ConnectionIcon { ClosedAuto, ClosedManual, Connecting, Connected, Error, NotResponding };
struct StatusLine {
    QString text;
    ConnectionIcon icon;
};
StatusLine statusLine(int connectionState, int automaticConnection, int errorCode);
// The status line of a connected controller that stopped answering; lastAnswerMs is the
// wall-clock time of its last answer (0: none yet).
StatusLine notRespondingLine(int64_t lastAnswerMs);
// The states and the failures a connection commonly goes through, for a status line wide
// enough to show them from the start.
QStringList usualStatusTexts();

} // namespace iomira
