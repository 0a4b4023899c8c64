#pragma once

#include <QString>

#include <optional>

namespace iomira {

class CQUORVISData;
class UserPrompts;

// The question asked before an output of a single controller is switched; none when the
// controller asks nothing for that output. A current value of 0 means switching on.
std::optional<QString> outputSwitchQuestion(const CQUORVISData& c, int output, int currentValue);
// The question of the multi-controller window, headed by the controller's name; asked
// whenever the controller uses warnings. `requestedOn` is the state wanted.
std::optional<QString> outputSwitchQuestionWithHeading(const CQUORVISData& c, int output,
                                                       bool requestedOn);

// Ask (Yes/No, exclamation icon); true to go on with the switch.
bool ConfirmOutputSwitch(UserPrompts& prompts, const CQUORVISData& c, int output, int currentValue);
bool ConfirmOutputSwitchWithHeading(UserPrompts& prompts, const CQUORVISData& c, int output,
                                    int requestedState);

} // namespace iomira
