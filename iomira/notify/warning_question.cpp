#include "notify/warning_question.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"

namespace iomira {

namespace {

bool validOutput(int output) {
    return output >= 0 && output < kDigitalPorts;
}

QString withDescription(QString text, const CQUORVISData& c, int output) {
    if (validOutput(output) && text.contains(QLatin1String("%s")))
        text.replace(QLatin1String("%s"), c.DoComment[output]);
    return text;
}

} // namespace

std::optional<QString> outputSwitchQuestion(const CQUORVISData& c, int output, int currentValue) {
    if (c.UseWarningMsg == 0) return std::nullopt;
    const bool on = currentValue == 0;
    QString text;
    if (c.WarningMsgType == 0) {
        text = on ? c.MsgAllOn : c.MsgAllOff;
    } else if (c.WarningMsgType == 1) {
        if (!validOutput(output) || c.UseWarningMsgDo[output] == 0) return std::nullopt;
        text = on ? c.DoMsgOnOn[output] : c.DoMsgOnOff[output];
    }
    return withDescription(text, c, output);
}

std::optional<QString> outputSwitchQuestionWithHeading(const CQUORVISData& c, int output,
                                                       bool requestedOn) {
    if (c.UseWarningMsg != 1) return std::nullopt;
    QString text =
        loadString(TEXT_IO_CONTROLLER) + QStringLiteral(" - %1:\r\n\r\n").arg(c.DeviceComment);
    if (c.WarningMsgType == 0) {
        text += requestedOn ? c.MsgAllOn : c.MsgAllOff;
    } else if (c.WarningMsgType == 1 && validOutput(output) && c.UseWarningMsgDo[output] == 1) {
        text += requestedOn ? c.DoMsgOnOn[output] : c.DoMsgOnOff[output];
    }
    return withDescription(text, c, output);
}

bool ConfirmOutputSwitch(UserPrompts& prompts, const CQUORVISData& c, int output,
                         int currentValue) {
    const std::optional<QString> question = outputSwitchQuestion(c, output, currentValue);
    return !question || prompts.ask(*question, true);
}

bool ConfirmOutputSwitchWithHeading(UserPrompts& prompts, const CQUORVISData& c, int output,
                                    int requestedState) {
    const std::optional<QString> question =
        outputSwitchQuestionWithHeading(c, output, requestedState != 0);
    return !question || prompts.ask(*question, true);
}

} // namespace iomira
