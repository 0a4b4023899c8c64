// The demo's promise: a search by "Network Address" finds exactly the controller at that
// loopback address, and adding it gives a record that reaches its Modbus/TCP server. Runs
// against `tevronsim --demo` in a network namespace of its own (the demo and NexoltLib take
// their fixed ports).
#include "common/event_pump.h"
#include "common/test_support.h"

#include "app/controller_search.h"
#include "app/found_records.h"

#include "sim_process.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

class DemoSearch : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sim.start({TEVRONSIM_PATH, "--demo"})); }
    void TearDown() override { sim.stop(); }

    // The rows a search by address gives, and the record of the first.
    std::optional<CQUORVISData> searchAddress(const QString& address) {
        ControllerSearch search(prompts, 1033, QStringLiteral("Add I/O Controller"));
        bool finished = false;
        QObject::connect(&search, &ControllerSearch::finished, [&] { finished = true; });
        search.start(ControllerSearch::BY_ADDRESS, address, QStringLiteral("50005"));
        EXPECT_TRUE(test::pumpUntil([&] { return finished; }, 10000));
        rows = search.rows();
        if (rows.size() != 1) return std::nullopt;
        return recordFromRow(rows[0], search.results(), 0);
    }

    nexolt::test::SimProcess sim;
    test::RecordingPrompts prompts;
    std::vector<FoundRow> rows;
};

TEST_F(DemoSearch, NetworkAddressFindsExactlyTheTka35) {
    auto record = searchAddress(QStringLiteral("127.0.0.5"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].product, QStringLiteral("TKA-35"));
    EXPECT_EQ(rows[0].information, QStringLiteral("[00:30:F9:00:00:04] tka-35 - [127.0.0.5]"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->HostAddr, QStringLiteral("127.0.0.5"));
    EXPECT_EQ(record->HostPort, 15023);
    EXPECT_EQ(record->IsServer, 0);
    EXPECT_EQ(record->NumberOfPortInput, 4);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join(u'|').toStdString();
}

TEST_F(DemoSearch, NetworkAddressFindsTheTkb11ThroughItsLibrary) {
    auto record = searchAddress(QStringLiteral("127.0.0.9"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].product, QStringLiteral("TKB-11"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->HostAddr, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(record->HostPort, 15027);
    EXPECT_EQ(record->DeviceComment, QStringLiteral("tkb-11"));
}

} // namespace
} // namespace iomira
