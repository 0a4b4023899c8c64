// The status bar's counts of all controllers' links and their text.

#include "app/link_counts.h"

#include "core/controller_table.h"
#include "core/string_table.h"
#include "corvel/corvel.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace iomira {
namespace {

class LinkCountsTest : public ::testing::Test {
  protected:
    void SetUp() override { setLanguage(LANG_ENGLISH); }
    CQUORVISData& add(int state) {
        auto record = std::make_unique<CQUORVISData>();
        record->DeviceId = nextId;
        states[nextId++] = state;
        CQUORVISData& ref = *record;
        table.insert(std::move(record));
        return ref;
    }
    LinkCounts count() const {
        return countLinks(table, [this](int id) { return states.at(id); });
    }

    ControllerTable table;
    std::map<int, int> states;
    int nextId = 1;
};

TEST_F(LinkCountsTest, EachControllerIsCountedByItsState) {
    EXPECT_EQ(count(), LinkCounts{});
    add(TCP_ESTABLISHED);
    add(TCP_ESTABLISHED).NotResponding = true;
    add(TCP_LISTEN);
    add(TCP_ERROR);
    add(TCP_ERROR).NotResponding = true; // a stale flag: the link is gone, it is an error
    add(TCP_CLOSED);
    add(TCP_CONNECTING);
    const LinkCounts n = count();
    EXPECT_EQ(n.connected, 1);
    EXPECT_EQ(n.notResponding, 1);
    EXPECT_EQ(n.listening, 1);
    EXPECT_EQ(n.error, 2);
    EXPECT_EQ(n.total, 7);
}

TEST_F(LinkCountsTest, TheLatestAnswerOfAnyControllerIsShown) {
    add(TCP_ESTABLISHED);
    EXPECT_EQ(linkCountsText(count()),
              "Connected 1 · Listening 0 · Error 0 · Not responding 0 · of 1  |  No answer yet");
    const QDateTime early(QDate(2026, 12, 10), QTime(3, 0, 0));
    const QDateTime late(QDate(2026, 12, 10), QTime(3, 12, 45));
    add(TCP_ERROR).LastAnswerMs = late.toMSecsSinceEpoch();
    add(TCP_ESTABLISHED).LastAnswerMs = early.toMSecsSinceEpoch();
    EXPECT_EQ(count().lastAnswerMs, late.toMSecsSinceEpoch());
    EXPECT_TRUE(linkCountsText(count()).endsWith("Last answer 2026-12-10 03:12:45"));
    setLanguage(LANG_KOREAN);
    EXPECT_TRUE(linkCountsText(count()).contains("2026-12-10 03:12:45"));
}

} // namespace
} // namespace iomira
