// What a search answer becomes: the rows the add dialog lists and the records the rows give.
// Every answer here is made by hand, including the hostile ones.
#include "common/test_support.h"

#include "app/found_records.h"
#include "app/found_rows.h"
#include "core/device_family.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "nexoltlib/nexoltlib.h"
#include "tkb11lib/tkb11lib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace iomira {
namespace {

uint32_t ip(const char* text) {
    return inet_addr(text);
}

// A TKA-35 I/O controller as NexoltLib reports it.
std::unique_ptr<lib_env> tka35(uint8_t lastMacByte, const char* comment = "Pump house") {
    auto env = std::make_unique<lib_env>();
    std::memset(env.get(), 0, sizeof *env);
    const uint8_t mac[6] = {0x02, 0x00, 0x00, 0x00, 0x00, lastMacByte};
    std::memcpy(env->mac, mac, 6);
    env->product_id = 34;
    env->device_address = ip("10.1.0.7");
    std::memcpy(env->comment, comment, std::strlen(comment));
    env->io.is_io = 1;
    env->io.input_count = 4;
    env->io.output_count = 4;
    env->io.settings.peer_port = 1502;
    env->io.settings.slave_id = 7;
    env->io.settings.input_addr = 16;
    env->io.settings.output_addr = 32;
    std::strcpy(env->io.input_description[0], "Door");
    std::strcpy(env->io.output_description[1], "Siren");
    return env;
}

tkb11_record tkb11(uint8_t mode) {
    tkb11_record r;
    std::memset(&r, 0, sizeof r);
    r.ip_address = ip("10.1.0.9");
    const uint8_t mac[6] = {0x00, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F};
    std::memcpy(r.mac, mac, 6);
    r.client_port = 502;
    r.server_port = 5020;
    r.mode = mode;
    r.unit_id = 3;
    r.input_address = 1;
    r.output_address = 2;
    return r;
}

TEST(FoundRows, NexoltLibRowsNameProductMacCommentAndAddress) {
    std::vector<lib_env> records;
    records.push_back(*tka35(0x05));
    records.push_back(*tka35(0x02, ""));
    const std::vector<FoundRow> rows = nexoltLibRows(records);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].product, "TKA-35");
    EXPECT_EQ(rows[0].information, "[02:00:00:00:00:05] Pump house - [10.1.0.7]");
    EXPECT_EQ(rows[0].index, 0);
    EXPECT_EQ(rows[1].information, "[02:00:00:00:00:02] - [10.1.0.7]");
    EXPECT_EQ(rows[1].index, 1);
}

TEST(FoundRows, HostileNexoltLibAnswersGiveSaneRowsOrNone) {
    std::vector<lib_env> records;
    auto full = tka35(0x01);
    std::memset(full->comment, 'A', sizeof full->comment); // no terminator at all
    records.push_back(*full);
    records.push_back(*tka35(0x01)); // the same MAC again
    auto unknown = tka35(0x03);
    unknown->product_id = 9999;
    records.push_back(*unknown);
    auto notIo = tka35(0x04);
    notIo->io.is_io = 0;
    records.push_back(*notIo);
    auto zero = tka35(0x00);
    std::memset(zero->mac, 0, 6);
    records.push_back(*zero);

    const std::vector<FoundRow> rows = nexoltLibRows(records);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].information,
              "[02:00:00:00:00:01] " + QString(64, QLatin1Char('A')) + " - [10.1.0.7]");
    EXPECT_EQ(rows[1].information, "[00:00:00:00:00:00] Pump house - [10.1.0.7]");
    EXPECT_EQ(rows[1].index, 4);
}

TEST(FoundRows, Tkb11RowsKeepTheLibraryOrder) {
    std::vector<tkb11_record> records{tkb11(0), tkb11(2)};
    records[1].mac[5] = 0x01;
    std::memcpy(records[0].comment, "Gate", 4);
    const std::vector<FoundRow> rows = tkb11LibRows(records);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].product, "TKB-11");
    EXPECT_EQ(rows[0].information, "[00:1B:2C:3D:4E:5F] Gate - [10.1.0.9]");
    EXPECT_EQ(rows[1].information, "[00:1B:2C:3D:4E:01] - [10.1.0.9]");
}

TEST(FoundRows, LibraryErrorCodesChooseTheirMessages) {
    struct Case {
        int code;
        int text; // 0: nothing shown
    };
    const Case nexolt[] = {{0, 0},
                           {-200, 0},
                           {-100, TEXT_WRITE_FAILED_PASSWORD},
                           {-300, TEXT_WRITE_FAILED_LOCAL_IP},
                           {-400, TEXT_WRITE_FAILED_MACRO},
                           {-500, TEXT_WRITE_FAILED_PORT_ADDRESS},
                           {-600, TEXT_LOCAL_PORTS_DUPLICATED},
                           {-601, TEXT_PORT_23_UNAVAILABLE},
                           {-602, TEXT_LOCAL_AND_MODBUS_PORT_DUPLICATED},
                           {-603, TEXT_PORT_80_UNAVAILABLE},
                           {-604, TEXT_PORT_50005_UNAVAILABLE},
                           {-605, TEXT_PORT_50006_UNAVAILABLE},
                           {-700, TEXT_PRODUCT_ID_MISMATCH},
                           {-800, TEXT_UNKNOWN_RESPONSE},
                           {-920, TEXT_UNKNOWN_RESPONSE}};
    for (const Case& c : nexolt) {
        const QString expected = c.text ? loadString(c.text) : QString();
        EXPECT_EQ(nexoltLibErrorMessage(c.code), expected) << c.code;
    }
    const Case tkb[] = {{0, 0},
                        {3, 0},
                        {1, TEXT_WRITE_FAILED_PASSWORD},
                        {2, TEXT_WRITE_FAILED_PASSWORD},
                        {4, TEXT_WRITE_FAILED_LOCAL_IP},
                        {5, TEXT_UNKNOWN_RESPONSE},
                        {6, TEXT_UNKNOWN_RESPONSE}};
    for (const Case& c : tkb) {
        const QString expected = c.text ? loadString(c.text) : QString();
        EXPECT_EQ(tkb11LibErrorMessage(c.code), expected) << c.code;
    }
    // A socket error is shown with its number and the system's text.
    EXPECT_TRUE(nexoltLibErrorMessage(111).startsWith("[111] "))
        << nexoltLibErrorMessage(111).toStdString();
    EXPECT_TRUE(tkb11LibErrorMessage(101).startsWith("[101] "));
}

TEST(FoundRecords, TkaRecordCarriesTheDevicesModbusSettingsAndPortNames) {
    const std::optional<CQUORVISData> r = recordFromNexoltLib("TKA-35", *tka35(0x05));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->DeviceType, FAMILY_GENERIC);
    EXPECT_EQ(r->IsServer, 0);
    EXPECT_EQ(r->HostAddr, "10.1.0.7");
    EXPECT_EQ(r->HostPort, 1502);
    EXPECT_EQ(r->UnitId, 7);
    EXPECT_EQ(r->InputAddr, 16);
    EXPECT_EQ(r->OutputAddr, 32);
    EXPECT_EQ(r->NumberOfPortInput, 4);
    EXPECT_EQ(r->NumberOfPortOutput, 4);
    EXPECT_EQ(r->DiComment[0], "Door");
    EXPECT_EQ(r->DiComment[1], "DI1");
    EXPECT_EQ(r->DoComment[0], "DO0");
    EXPECT_EQ(r->DoComment[1], "Siren");
    EXPECT_EQ(r->DoComment[7], "DO7");
    EXPECT_EQ(r->DeviceComment, "Pump house");
}

TEST(FoundRecords, ActiveTkaIsAServerWithoutHostAndNamedByMacWithoutComment) {
    auto env = tka35(0x0A, "");
    env->io.settings.flags = NEXOLT_IO_ACTIVE;
    env->io.input_count = 200; // more ports than any controller has
    env->io.output_count = 9;
    std::memset(env->io.output_description[2], 'x', 16); // unterminated
    const std::optional<CQUORVISData> r = recordFromNexoltLib("TKA-31", *env);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->IsServer, 1);
    EXPECT_TRUE(r->HostAddr.isEmpty());
    EXPECT_EQ(r->NumberOfPortInput, 8);
    EXPECT_EQ(r->NumberOfPortOutput, 8);
    EXPECT_EQ(r->DoComment[2], QString(16, QLatin1Char('x')));
    EXPECT_EQ(r->DeviceComment, "02:00:00:00:00:0A");
}

TEST(FoundRecords, ProductsThatAreNoTkaModelGiveNoRecord) {
    EXPECT_FALSE(recordFromNexoltLib("TKA-31 / 21 / 35", *tka35(1)));
    EXPECT_FALSE(recordFromNexoltLib("TSR-110", *tka35(1)));
    EXPECT_TRUE(recordFromNexoltLib("TKA-33P", *tka35(1)));
}

TEST(FoundRecords, Tkb11ModesChooseClientOrServer) {
    tkb11_record client = tkb11(1);
    std::memcpy(client.input_name, "Bell", 4);
    const CQUORVISData c = recordFromTkb11(client);
    EXPECT_EQ(c.IsServer, 0);
    EXPECT_EQ(c.HostAddr, "10.1.0.9");
    EXPECT_EQ(c.HostPort, 502);
    EXPECT_EQ(c.NumberOfPortInput, 1);
    EXPECT_EQ(c.NumberOfPortOutput, 1);
    EXPECT_EQ(c.UnitId, 3);
    EXPECT_EQ(c.InputAddr, 1);
    EXPECT_EQ(c.OutputAddr, 2);
    EXPECT_EQ(c.DiComment[0], "Bell");
    EXPECT_EQ(c.DoComment[0], "DO0");
    EXPECT_EQ(c.DeviceComment, "00:1B:2C:3D:4E:5F");

    const CQUORVISData s = recordFromTkb11(tkb11(2));
    EXPECT_EQ(s.IsServer, 1);
    EXPECT_TRUE(s.HostAddr.isEmpty());
    EXPECT_EQ(s.HostPort, 5020);

    const CQUORVISData other = recordFromTkb11(tkb11(7));
    EXPECT_EQ(other.HostPort, CQUORVISData().HostPort);
    EXPECT_TRUE(other.HostAddr.isEmpty());
}

TEST(FoundRecords, RowOutsideTheResultsGivesNoRecord) {
    std::vector<lib_env> none;
    const FoundResults results{&none, nullptr};
    FoundRow row{"TKA-35", "", FoundSource::NexoltLib, 3};
    EXPECT_FALSE(recordFromRow(row, results, 1));
    row.source = FoundSource::Tkb11Lib;
    EXPECT_FALSE(recordFromRow(row, results, 1));
}

} // namespace
} // namespace iomira
