// The notification list: counter and buttons through adds and confirms, and the message text.

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "notify/notification_window_model.h"

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

} // namespace
} // namespace iomira
