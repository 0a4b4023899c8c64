// The output-switch questions by type and output, and the warning settings form.

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "notify/notify_test_support.h"
#include "notify/warning_question.h"
#include "notify/warning_settings_form.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

struct QuestionCase {
    const char* name;
    int use, type, useOutput, current;
    const char* expected; // nullptr: no question
};

TEST(OutputSwitchQuestion, TextsByTypeAndOutput) {
    CQUORVISData c;
    c.DeviceComment = "Gate";
    c.DoComment[2] = "Horn";
    c.MsgAllOn = "All on %s?";
    c.MsgAllOff = "All off %s %s?";
    c.DoMsgOnOn[2] = "Two on?";
    c.DoMsgOnOff[2] = "Two off (%s)?";
    const QuestionCase cases[] = {
        {"unused", 0, 0, 1, 0, nullptr},
        {"all, switching on", 1, 0, 0, 0, "All on Horn?"},
        {"all, switching off", 1, 0, 0, 1, "All off Horn Horn?"},
        {"each, output unused", 1, 1, 0, 0, nullptr},
        {"each, switching off", 1, 1, 1, 7, "Two off (Horn)?"},
        {"other type asks with no text", 1, 5, 1, 0, ""},
    };
    for (const QuestionCase& q : cases) {
        c.UseWarningMsg = q.use;
        c.WarningMsgType = q.type;
        c.UseWarningMsgDo[2] = q.useOutput;
        const std::optional<QString> text = outputSwitchQuestion(c, 2, q.current);
        if (!q.expected)
            EXPECT_FALSE(text.has_value()) << q.name;
        else
            EXPECT_EQ(text.value_or("<none>"), q.expected) << q.name;
    }
}

TEST(OutputSwitchQuestion, HeadingIsAskedEvenWhenTheOutputIsUnused) {
    setLanguage(LANG_ENGLISH);
    CQUORVISData c;
    c.DeviceComment = "Gate %s";
    c.DoComment[1] = "Horn";
    c.UseWarningMsg = 1;
    c.WarningMsgType = 1;
    EXPECT_EQ(outputSwitchQuestionWithHeading(c, 1, true).value_or(""),
              "I/O Controller - Gate Horn:\r\n\r\n");
    c.UseWarningMsgDo[1] = 1;
    c.DoMsgOnOn[1] = "On %s?";
    EXPECT_EQ(outputSwitchQuestionWithHeading(c, 1, true).value_or(""),
              "I/O Controller - Gate Horn:\r\n\r\nOn Horn?");

    test::ScriptedPrompts prompts;
    prompts.answer = false;
    c.UseWarningMsgDo[1] = 0;
    EXPECT_TRUE(ConfirmOutputSwitch(prompts, c, 1, 0))
        << "type 1 with the output unused: no question";
    EXPECT_FALSE(ConfirmOutputSwitchWithHeading(prompts, c, 1, 1));
    EXPECT_EQ(prompts.shown, QStringList{"ask: I/O Controller - Gate Horn:\r\n\r\n"});
    c.UseWarningMsg = 0;
    EXPECT_TRUE(ConfirmOutputSwitchWithHeading(prompts, c, 0, 1));
}

TEST(WarningForm, LoadsDefaultsUnlessUsed) {
    setLanguage(LANG_ENGLISH);
    CQUORVISData c;
    WarningForm form = warningFormFor(c);
    EXPECT_FALSE(form.use);
    EXPECT_EQ(form.allOn, "Are you sure to change the status of output port ( %s) to ON?");
    EXPECT_TRUE(form.rowUse[7]);
    c.UseWarningMsg = 1;
    c.WarningMsgType = 3;
    c.MsgAllOff = "Off?";
    form = warningFormFor(c);
    EXPECT_EQ(form.type, 0) << "an unknown type shows as type 0";
    EXPECT_EQ(form.allOff, "Off?");
    EXPECT_FALSE(form.rowUse[0]);
    form.allOn = QString(257, 'x');
    EXPECT_FALSE(warningFormValid(form));
}

} // namespace
} // namespace iomira
