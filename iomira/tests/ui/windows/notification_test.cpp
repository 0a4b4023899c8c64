// The notification window: its list, counter and buttons through adds and confirms, the
// message text, placement in the store, and the output-switch questions.

#include "core/global_settings.h"
#include "ui/windows/notification_window.h"
#include "core/quorvis_data.h"
#include "core/sqlite_store.h"
#include "core/string_table.h"
#include "notify/warning_question.h"
#include "windows_rig.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using Buttons = NotificationList::Buttons;

TEST(NotificationListing, CounterAndButtonsThroughAddsAndConfirms) {
    NotificationList list;
    EXPECT_EQ(list.counterText(), "");
    EXPECT_TRUE(list.add("one", 1)) << "the first message shows the window";
    EXPECT_EQ(list.counterText(), "1 / 1");
    EXPECT_EQ(list.buttons(), (Buttons{false, false, false, false}));
    EXPECT_FALSE(list.add("two", 2));
    EXPECT_EQ(list.counterText(), "1 / 2");
    EXPECT_EQ(list.buttons(), (Buttons{false, false, true, true}));
    for (int i = 3; i <= 5; ++i)
        list.add(QString::number(i), i);
    list.next();
    list.next();
    EXPECT_EQ(list.currentText(), "3");
    list.add("6", 6);
    EXPECT_EQ(list.counterText(), "3 / 6") << "a new message keeps the one on screen";
    list.end();
    EXPECT_EQ(list.buttons(), (Buttons{true, true, false, false}));
    list.next();
    EXPECT_EQ(list.counterText(), "6 / 6") << "Next at the end changes nothing";
    list.first();
    EXPECT_EQ(list.currentDeviceId(), 1);
    list.previous();
    EXPECT_EQ(list.currentIndex(), 0);
}

TEST(NotificationListing, ConfirmingTheLastMovesToTheNewLastAndEmptyHides) {
    NotificationList list;
    for (int i = 1; i <= 3; ++i)
        list.add(QString::number(i), i);
    list.end();
    EXPECT_FALSE(list.confirm());
    EXPECT_EQ(list.counterText(), "2 / 2");
    EXPECT_EQ(list.currentText(), "2");
    list.first();
    EXPECT_FALSE(list.confirm());
    EXPECT_EQ(list.currentText(), "2");
    EXPECT_EQ(list.buttons(), (Buttons{false, false, false, false}));
    EXPECT_TRUE(list.confirm());
    EXPECT_FALSE(list.shown());
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_TRUE(list.add("again", 9)) << "the first message after emptying shows it again";
    EXPECT_EQ(list.counterText(), "1 / 1");
}

TEST(NotificationText, PlaceholdersAreReplacedInOrder) {
    CQUORVISData c;
    c.DeviceComment = "Gate %p";
    c.DiComment[3] = "Door";
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    setLanguage(LANG_ENGLISH);
    const QString text = inputNotificationText(loadString(5288), c, 3, 1, when);
    EXPECT_EQ(text, "[I/O controller(Gate Door)] The status of the digital port(Door) is changed "
                    "to ON.\n\nEvent time : 2026-03-04 05:06:07");
    EXPECT_TRUE(inputNotificationText("%s", c, 3, 0, when) == "OFF");
}

class NotificationWindowTest : public ::testing::Test {
  protected:
    NotificationWindowTest() { store = SqliteStore::open(dir.filePath("s.sqlite"), nullptr); }
    QTemporaryDir dir;
    std::unique_ptr<SqliteStore> store;
    test::RecordingPrompts prompts;
};

TEST_F(NotificationWindowTest, ButtonsFollowTheListAndConfirmAllAsksFirst) {
    CDlgMSG window(*store, prompts, nullptr);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(300, 250));
    window.AddNotification("first", 4);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.button(CDlgMSG::Next)->isEnabled());
    window.AddNotification("second", 5);
    EXPECT_TRUE(window.button(CDlgMSG::Next)->isEnabled());
    EXPECT_FALSE(window.button(CDlgMSG::Previous)->isEnabled());
    window.button(CDlgMSG::End)->click();
    EXPECT_TRUE(window.button(CDlgMSG::First)->isEnabled());

    std::vector<int> shownIds;
    window.showController = [&](int id) { shownIds.push_back(id); };
    window.button(CDlgMSG::Controller)->click();
    EXPECT_EQ(shownIds, std::vector<int>{5});

    prompts.answer = false;
    window.button(CDlgMSG::ConfirmAll)->click();
    EXPECT_EQ(window.messages().count(), 2) << "No keeps every message";
    prompts.answer = true;
    window.button(CDlgMSG::ConfirmAll)->click();
    EXPECT_EQ(window.messages().count(), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(prompts.questions, 2);
}

TEST_F(NotificationWindowTest, ControllerButtonIgnoresIdsOfZeroOrLess) {
    CDlgMSG window(*store, prompts, nullptr);
    int calls = 0;
    window.showController = [&](int) { ++calls; };
    window.AddNotification("zero", 0);
    window.press(CDlgMSG::Controller);
    EXPECT_EQ(calls, 0);
    window.press(CDlgMSG::Confirm);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(NotificationWindowTest, InputMessagesNeedTheSwitch) {
    CDlgMSG window(*store, prompts, nullptr);
    CQUORVISData c;
    c.DeviceId = 12;
    int notify = 0;
    window.inputNotification = [&] { return notify; };
    window.PostInputNotification(c, 0, 1);
    EXPECT_EQ(window.messages().count(), 0);
    notify = 1;
    window.PostInputNotification(c, 0, 1);
    EXPECT_EQ(window.messages().count(), 1);
    EXPECT_EQ(window.messages().currentDeviceId(), 12);
}

TEST_F(NotificationWindowTest, PlacementIsStoredAndUsedAtTheNextStart) {
    {
        CDlgMSG window(*store, prompts, nullptr);
        window.show();
        window.move(120, 140);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(getGlobal(*store, MSG_LastPosX), 120);
    EXPECT_EQ(getGlobal(*store, MSG_LastPosY), 140);
    EXPECT_EQ(getGlobal(*store, MSG_LastPosCX), 300);
    setGlobal(*store, MSG_LastPosCX, 900);
    CDlgMSG again(*store, prompts, nullptr);
    EXPECT_EQ(again.pos(), QPoint(120, 140));
    EXPECT_EQ(again.size(), QSize(300, 250)) << "the stored size is not used";
}

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

    test::RecordingPrompts prompts;
    prompts.answer = false;
    c.UseWarningMsgDo[1] = 0;
    EXPECT_TRUE(ConfirmOutputSwitch(prompts, c, 1, 0))
        << "type 1 with the output unused: no question";
    EXPECT_FALSE(ConfirmOutputSwitchWithHeading(prompts, c, 1, 1));
    EXPECT_EQ(prompts.shown, QStringList{"I/O Controller - Gate Horn:\r\n\r\n"});
    c.UseWarningMsg = 0;
    EXPECT_TRUE(ConfirmOutputSwitchWithHeading(prompts, c, 0, 1));
}

} // namespace
} // namespace iomira
