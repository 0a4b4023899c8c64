// Lamp images, status lines, output clicks and pulse timing: the rules behind the digital
// window.

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "corvel/corvel.h"
#include "monitor/port_reading.h"
#include "monitor/port_state.h"
#include "monitor/pulse_rules.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using C = LampColor;
using M = LampMark;

struct InputCase {
    InputFacts facts;
    LampImage expected;
};

TEST(LampChoice, InputsFollowErrorThenSoundThenValue) {
    const InputCase cases[] = {
        {{0, true, true}, {C::Grey, M::Error}},    {{1, true, false}, {C::Yellow, M::Error}},
        {{0, false, true}, {C::Grey, M::Speaker}}, {{1, false, true}, {C::Yellow, M::Speaker}},
        {{0, false, false}, {C::Grey, M::None}},   {{1, false, false}, {C::Yellow, M::None}},
    };
    for (const InputCase& c : cases)
        EXPECT_EQ(inputLamp(c.facts), c.expected) << c.facts.value;
}

struct OutputCase {
    const char* name;
    OutputFacts facts;
    LampImage expected;
};

TEST(LampChoice, OutputsTakeTheFirstConditionThatApplies) {
    OutputFacts all;
    all.restricted = all.genericPulse = all.rlxPulse = all.warning = true;
    OutputFacts pulse;
    pulse.genericPulse = pulse.warning = true;
    OutputFacts inverted = pulse;
    inverted.pulseToOn = false;
    OutputFacts rlx;
    rlx.rlxPulse = rlx.warning = true;
    OutputFacts warning;
    warning.warning = true;
    OutputFacts on;
    on.value = 1;
    auto valued = [](OutputFacts f) {
        f.value = 1;
        return f;
    };
    OutputFacts error = valued(all);
    error.readError = true;
    const OutputCase cases[] = {
        {"read error is grey even when on", error, {C::Grey, M::Error}},
        {"lock wins over pulse and warning", valued(all), {C::Green, M::Lock}},
        {"pulse to on", valued(pulse), {C::Green, M::Pulse}},
        {"pulse to off", inverted, {C::Grey, M::InvertedPulse}},
        {"controller's own pulse", rlx, {C::Grey, M::Pulse}},
        {"warning", valued(warning), {C::Green, M::Warning}},
        {"plain on", on, {C::Green, M::None}},
        {"plain off", OutputFacts{}, {C::Grey, M::None}},
    };
    for (const OutputCase& c : cases)
        EXPECT_EQ(outputLamp(c.facts), c.expected) << c.name;
}

TEST(LampChoice, RecordFieldsSelectTheMarks) {
    CQUORVISData c;
    c.DeviceType = FAMILY_GENERIC;
    c.OffDiSoundId[2] = 7;
    EXPECT_TRUE(inputFacts(c, 2, 1, false).soundAssigned);
    EXPECT_FALSE(inputFacts(c, 3, 1, false).soundAssigned);

    c.UsePulseDo[1] = 1;
    c.SignalLevelDo[1] = 0;
    EXPECT_EQ(outputLamp(outputFacts(c, 1, 0, false, false)),
              (LampImage{C::Grey, M::InvertedPulse}));
    EXPECT_TRUE(hasPulseTooltip(c, 1));
    c.DeviceType = FAMILY_RLX830; // the pulse fields belong to generic controllers only
    EXPECT_EQ(outputLamp(outputFacts(c, 1, 0, false, false)), (LampImage{C::Grey, M::None}));
    EXPECT_EQ(outputLamp(outputFacts(c, 1, 1, false, true)), (LampImage{C::Green, M::Pulse}));
    EXPECT_FALSE(hasPulseTooltip(c, 1));
    c.DeviceType = FAMILY_RLX850; // its outputs pulse by themselves too
    EXPECT_EQ(outputLamp(outputFacts(c, 1, 1, false, true)), (LampImage{C::Green, M::Pulse}));
    c.DeviceType = FAMILY_RLX830;

    c.UseWarningMsg = 1;
    c.WarningMsgType = 1;
    c.UseWarningMsgDo[4] = 1;
    EXPECT_TRUE(warningApplies(c, 4));
    EXPECT_FALSE(warningApplies(c, 5));
    c.WarningMsgType = 0;
    EXPECT_TRUE(warningApplies(c, 5));
    c.WarningMsgType = 2;
    EXPECT_FALSE(warningApplies(c, 4));
}

TEST(StatusLine, EachConnectionStateHasItsTextAndIcon) {
    setLanguage(LANG_ENGLISH);
    EXPECT_EQ(statusLine(TCP_CLOSED, 1, 0).text, "Closed");
    EXPECT_EQ(statusLine(TCP_CLOSED, 1, 0).icon, ConnectionIcon::ClosedAuto);
    EXPECT_EQ(statusLine(TCP_CLOSED, 0, 0).icon, ConnectionIcon::ClosedManual);
    EXPECT_EQ(statusLine(TCP_LISTEN, 1, 0).text, "Listening...");
    EXPECT_EQ(statusLine(TCP_CONNECTING, 1, 0).text, "Connecting...");
    EXPECT_EQ(statusLine(TCP_CONNECTING, 1, 0).icon, ConnectionIcon::Connecting);
    EXPECT_EQ(statusLine(TCP_ESTABLISHED, 1, 0).text, "Connected");
    const StatusLine error = statusLine(TCP_ERROR, 1, 111);
    EXPECT_TRUE(error.text.startsWith("[111] ")) << error.text.toStdString();
    EXPECT_FALSE(error.text.contains('\n'));
    EXPECT_EQ(error.icon, ConnectionIcon::Error);

    // A window's status line is made wide enough for these from the start.
    const QStringList usual = usualStatusTexts();
    for (const char* text : {"Closed", "Listening...", "Connecting...", "Connected"})
        EXPECT_TRUE(usual.contains(text)) << text;
    EXPECT_TRUE(usual.contains(statusLine(TCP_ERROR, 1, 111).text));
    EXPECT_EQ(usual.filter("[").size(), 4) << "refused, timed out, unreachable, reset";
    EXPECT_TRUE(usual.contains(notRespondingLine(1).text));
}

TEST(StatusLine, NotRespondingGivesTheTimeOfTheLastAnswer) {
    setLanguage(LANG_ENGLISH);
    const QDateTime answer(QDate(2026, 12, 10), QTime(3, 12, 45));
    const StatusLine line = notRespondingLine(answer.toMSecsSinceEpoch());
    EXPECT_EQ(line.text, "Not responding (last answer 03:12:45)");
    EXPECT_EQ(line.icon, ConnectionIcon::NotResponding);
    EXPECT_EQ(notRespondingLine(0).text, "Not responding (no answer yet)");
    setLanguage(LANG_KOREAN);
    EXPECT_TRUE(notRespondingLine(answer.toMSecsSinceEpoch()).text.contains("03:12:45"));
    setLanguage(LANG_ENGLISH);
}

TEST(PortReading, AChangeReportIsStampedWithItsArrivalNotTheLastAnswer) {
    CQUORVISData c;
    c.DeviceId = 987654; // not registered: Corvel has no values for it
    c.LastAnswerMs = 1000;
    const int64_t before = QDateTime::currentMSecsSinceEpoch();
    recordPortReading(c, MB_REPORT_INPUTS);
    recordPortReading(c, MB_REPORT_OUTPUTS);
    EXPECT_GE(c.InputsReadMs, before);
    EXPECT_GE(c.OutputsReadMs, before);
    EXPECT_EQ(c.LastInputs, 0);
}

TEST(OutputClickRule, ConnectionRestrictionAndPulseDecideTheRequest) {
    CQUORVISData c;
    c.DeviceType = FAMILY_GENERIC;
    EXPECT_EQ(outputClick(c, 0, TCP_CONNECTING, false), OutputClick::Ignore);
    EXPECT_EQ(outputClick(c, 8, TCP_ESTABLISHED, false), OutputClick::Ignore);
    EXPECT_EQ(outputClick(c, 0, TCP_ESTABLISHED, false), OutputClick::Toggle);
    c.UsePulseDo[0] = 1;
    EXPECT_EQ(outputClick(c, 0, TCP_ESTABLISHED, false), OutputClick::Pulse);
    c.DeviceType = FAMILY_RLX830;
    EXPECT_EQ(outputClick(c, 0, TCP_ESTABLISHED, false), OutputClick::Toggle);
    EXPECT_EQ(outputClick(c, 0, TCP_ESTABLISHED, true), OutputClick::RlxPulse);
    c.OutputPortControl = 1;
    EXPECT_EQ(outputClick(c, 0, TCP_ESTABLISHED, true), OutputClick::Restricted);
}

TEST(PulseTiming, TimersAndReadBackDelays) {
    CQUORVISData c;
    c.DurationDo[3] = 65535;
    EXPECT_EQ(pulseTimerMs(c, 3), 65535 + 500);
    EXPECT_EQ(coilReadDelayMs(FAMILY_GENERIC), 0);
    EXPECT_EQ(coilReadDelayMs(FAMILY_RLX830), 100);
}

TEST(PulseTiming, APulseEndsOnlyWhenTheReadAfterItsTimerIsAnswered) {
    PulseTracker pulses;
    EXPECT_FALSE(pulses.outputsAnswered());
    pulses.started(2);
    EXPECT_TRUE(pulses.pending());
    EXPECT_FALSE(pulses.outputsAnswered()) << "a poll before the timer leaves it pending";
    pulses.timerFired(5);
    EXPECT_FALSE(pulses.outputsAnswered()) << "another port's timer does not end it";
    pulses.timerFired(2);
    EXPECT_TRUE(pulses.outputsAnswered());
    EXPECT_FALSE(pulses.pending());
    EXPECT_EQ(pulses.pendingPort(), -1);
}

} // namespace
} // namespace iomira
