// Lost and restored links: which connection notifications are an outage, that each outage
// gives one line of each kind, and how the switch and the schedule gate the messages.

#include "common/monitor_files.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "corvel/corvel.h"
#include "notify/link_notifier.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace iomira {
namespace {

constexpr int kId = 41;

TEST(LinkWatch, OnlyTheEndOfAnEstablishedLinkIsALoss) {
    EXPECT_TRUE(endsEstablishedLink(CORVEL_LPARAM(0, CORVEL_FD_CLOSE)));
    EXPECT_TRUE(endsEstablishedLink(CORVEL_LPARAM(ECONNRESET, CORVEL_FD_CLOSE)));
    EXPECT_TRUE(endsEstablishedLink(CORVEL_LPARAM(ETIMEDOUT, CORVEL_FD_CLOSE)));
    EXPECT_TRUE(endsEstablishedLink(CORVEL_LPARAM(EIO, CORVEL_FD_READ)));
    EXPECT_TRUE(endsEstablishedLink(CORVEL_LPARAM(EPIPE, CORVEL_FD_WRITE)));
    // Attempts that never had a link, and the good news.
    EXPECT_FALSE(endsEstablishedLink(CORVEL_LPARAM(ECONNREFUSED, CORVEL_FD_CONNECT)));
    EXPECT_FALSE(endsEstablishedLink(CORVEL_LPARAM(-2, CORVEL_FD_CONNECT)));
    EXPECT_FALSE(endsEstablishedLink(CORVEL_LPARAM(EMFILE, CORVEL_FD_ACCEPT)));
    EXPECT_FALSE(endsEstablishedLink(CORVEL_LPARAM(0, CORVEL_FD_CONNECT)));
    EXPECT_FALSE(endsEstablishedLink(CORVEL_LPARAM(0, CORVEL_FD_ACCEPT)));
    EXPECT_FALSE(endsEstablishedLink(0));
}

TEST(LinkWatch, OneLossAndOneRestoreAnOutageWhateverHappensBetween) {
    LinkWatch watch;
    EXPECT_EQ(watch.answered(kId), LinkChange::None);
    EXPECT_EQ(watch.notResponding(kId), LinkChange::Lost);
    // Corvel then drops it, the reconnections fail, one connects and drops before answering.
    EXPECT_EQ(watch.connectionNotified(kId, CORVEL_LPARAM(ETIMEDOUT, CORVEL_FD_CLOSE)),
              LinkChange::None);
    EXPECT_EQ(watch.connectionNotified(kId, CORVEL_LPARAM(ECONNREFUSED, CORVEL_FD_CONNECT)),
              LinkChange::None);
    EXPECT_EQ(watch.connectionNotified(kId, CORVEL_LPARAM(0, CORVEL_FD_CONNECT)), LinkChange::None);
    EXPECT_EQ(watch.connectionNotified(kId, CORVEL_LPARAM(0, CORVEL_FD_CLOSE)), LinkChange::None);
    EXPECT_TRUE(watch.isLost(kId));
    EXPECT_EQ(watch.answered(kId), LinkChange::Restored);
    EXPECT_EQ(watch.answered(kId), LinkChange::None);
    // The next outage is announced again; another controller is its own matter.
    EXPECT_EQ(watch.connectionNotified(kId, CORVEL_LPARAM(0, CORVEL_FD_CLOSE)), LinkChange::Lost);
    EXPECT_EQ(watch.connectionNotified(kId + 1, CORVEL_LPARAM(0, CORVEL_FD_CLOSE)),
              LinkChange::Lost);
    watch.forget(kId);
    EXPECT_EQ(watch.answered(kId), LinkChange::None);
}

TEST(LinkWatch, AControllerThatNeverConnectedRaisesNothing) {
    LinkWatch watch;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(watch.connectionNotified(kId, CORVEL_LPARAM(ECONNREFUSED, CORVEL_FD_CONNECT)),
                  LinkChange::None);
        EXPECT_EQ(watch.reconnecting(kId), LinkChange::None);
    }
    EXPECT_FALSE(watch.isLost(kId));
}

// A request that could not be sent closes the link without a notification; the automatic
// reconnection that follows is the first the program hears of it.
TEST(LinkWatch, AReconnectionAfterAnswersIsALossOfItsOwn) {
    LinkWatch watch;
    watch.answered(kId);
    EXPECT_EQ(watch.reconnecting(kId), LinkChange::Lost);
    EXPECT_EQ(watch.reconnecting(kId), LinkChange::None); // the retries of the same outage
    EXPECT_EQ(watch.answered(kId), LinkChange::Restored);
    // A notified loss is not counted again by its reconnection.
    EXPECT_EQ(watch.connectionNotified(kId, CORVEL_LPARAM(ECONNRESET, CORVEL_FD_CLOSE)),
              LinkChange::Lost);
    EXPECT_EQ(watch.reconnecting(kId), LinkChange::None);
    EXPECT_EQ(watch.answered(kId), LinkChange::Restored);
    // The operator's Disconnect forgets the link; a later reconnection is no outage.
    watch.forget(kId);
    EXPECT_EQ(watch.reconnecting(kId), LinkChange::None);
}

class LinkMessages : public ::testing::Test {
  protected:
    void SetUp() override {
        setLanguage(LANG_ENGLISH);
        controller.DeviceId = kId;
        controller.DeviceComment = QStringLiteral("Boiler %t");
        controller.HostAddr = QStringLiteral("127.0.0.1");
        controller.UseLog = 1;
        notifier.post = [this](const QString& text, int id) {
            posted << text;
            EXPECT_EQ(id, kId);
        };
        notifier.clock = [] { return QDateTime(QDate(2026, 12, 10), QTime(3, 12, 0)); };
    }
    void outage() {
        notifier.connectionNotified(controller, CORVEL_LPARAM(ECONNRESET, CORVEL_FD_CLOSE));
        notifier.answered(controller);
    }

    test::TestFiles files;
    LinkNotifier notifier{files.monitorLog};
    CQUORVISData controller;
    QStringList posted;
};

TEST_F(LinkMessages, AnOutageIsPostedAndLoggedOnceEachWay) {
    notifier.notResponding(controller);
    notifier.connectionNotified(controller, CORVEL_LPARAM(ETIMEDOUT, CORVEL_FD_CLOSE));
    notifier.answered(controller);
    notifier.answered(controller);
    ASSERT_EQ(posted.size(), 2);
    // The name keeps its own "%t"; the event time is the notifier's clock.
    EXPECT_EQ(posted[0], "[I/O controller(Boiler %t)] Communication lost\n\nEvent time : "
                         "2026-12-10 03:12:00");
    EXPECT_EQ(posted[1], "[I/O controller(Boiler %t)] Communication restored\n\nEvent time : "
                         "2026-12-10 03:12:00");
    EXPECT_EQ(files.etcOf("Boiler %t"),
              (QStringList{"Communication lost", "Communication restored"}));
}

TEST_F(LinkMessages, TheSwitchAndTheScheduleStopTheMessagesNotTheLog) {
    bool enabled = false;
    bool scheduled = true;
    notifier.enabled = [&] { return enabled; };
    notifier.inSchedule = [&](ScheduleKind kind) {
        EXPECT_EQ(kind, SCHEDULE_NOTIFICATION_MESSAGE);
        return scheduled;
    };
    outage();
    EXPECT_TRUE(posted.isEmpty());
    enabled = true;
    scheduled = false;
    outage();
    EXPECT_TRUE(posted.isEmpty());
    scheduled = true;
    outage();
    EXPECT_EQ(posted.size(), 2);
    EXPECT_EQ(files.etcOf("Boiler %t").count("Communication lost"), 3);
}

TEST_F(LinkMessages, TextsInEveryLanguageNameTheControllerAndTheTime) {
    const QDateTime when(QDate(2026, 1, 2), QTime(4, 5, 6));
    for (int language : {LANG_ENGLISH, LANG_KOREAN, LANG_CHINESE}) {
        setLanguage(language);
        for (LinkChange change : {LinkChange::Lost, LinkChange::Restored}) {
            const QString text = linkNotificationText(change, controller, when);
            EXPECT_TRUE(text.contains("Boiler %t")) << language;
            EXPECT_TRUE(text.contains("2026-01-02 04:05:06")) << language;
        }
        EXPECT_NE(linkNotificationText(LinkChange::Lost, controller, when),
                  linkNotificationText(LinkChange::Restored, controller, when));
    }
}

} // namespace
} // namespace iomira
