// TKB11_Search and TKB11_Read by address against a hand-driven device on loopback.
#include "tkb11_frames.h"

#include "tkb11lib/tkb11lib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

namespace {

using discovery::test::hex;
using discovery::test::UdpPeer;
using discovery::test::with_sequence_of;
using tkb11::test::Bytes;
using tkb11::test::tkb11_answer;

const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

// A device that answers every request with these frames, in order.
UdpPeer answering(std::vector<Bytes> answers) {
    return UdpPeer(kLoopback, 0, [answers](const Bytes& request) {
        std::vector<Bytes> out;
        for (const Bytes& a : answers)
            out.push_back(with_sequence_of(request, a));
        return out;
    });
}

TEST(Tkb11Read, ByAddressSendsTheRequestAndFillsTheRecord) {
    UdpPeer device = answering({tkb11_answer(0x82)});
    ASSERT_TRUE(device.ok());
    tkb11_record record{};
    int error = -1;
    ASSERT_EQ(TKB11_Read(1, nullptr, kLoopback, &record, &error, device.port(), 0), 1);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(record.client_port, 502);
    EXPECT_EQ(record.output_address, 8);
    EXPECT_STREQ(record.comment, "boiler");
    ASSERT_EQ(device.received().size(), 1u);
    Bytes request = device.received()[0];
    request[6] = request[7] = 0;
    EXPECT_EQ(request, hex("54 4B 31 31 01 02 00 00 00 00 00 00 00 00 00 00"));
}

struct ReadCase {
    const char* name;
    std::vector<Bytes> answers;
    int result;
    int error;
};

class Tkb11ReadAnswers : public testing::TestWithParam<ReadCase> {};

TEST_P(Tkb11ReadAnswers, GiveTheirResult) {
    const ReadCase& c = GetParam();
    UdpPeer device = answering(c.answers);
    ASSERT_TRUE(device.ok());
    tkb11_record record{};
    int error = -1;
    EXPECT_EQ(TKB11_Read(1, nullptr, kLoopback, &record, &error, device.port(), 0), c.result);
    EXPECT_EQ(error, c.error);
}

Bytes zero_mac_answer() {
    Bytes b = tkb11_answer(0x81);
    std::fill(b.begin() + 10, b.begin() + 16, 0);
    std::fill(b.begin() + 20, b.begin() + 26, 0);
    return b;
}

Bytes garbled() {
    Bytes b = tkb11_answer(0x82);
    b.resize(150);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Tkb11ReadAnswers,
    testing::Values(ReadCase{"silent", {}, -1, TKB11_ERR_NO_ANSWER},
                    ReadCase{"garbled", {garbled()}, -1, TKB11_ERR_GARBLED},
                    ReadCase{"garbled_then_good", {garbled(), tkb11_answer(0x82)}, 1, 0},
                    ReadCase{"password",
                             {hex("54 4B 31 31 01 82 00 00 01 00 02 00 00 00 00 0B")},
                             -1,
                             TKB11_ERR_PASSWORD},
                    ReadCase{"unknown_status",
                             {hex("54 4B 31 31 01 82 00 00 07 00 02 00 00 00 00 0B")},
                             -1,
                             TKB11_ERR_UNKNOWN},
                    ReadCase{"search_answer", {tkb11_answer(0x81)}, -1, TKB11_ERR_NO_ANSWER}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Tkb11Read, SilentDeviceIsAskedThreeTimes) {
    UdpPeer device = answering({});
    ASSERT_TRUE(device.ok());
    tkb11_record record{};
    int error = 0;
    EXPECT_EQ(TKB11_Read(1, nullptr, kLoopback, &record, &error, device.port(), 0), -1);
    EXPECT_EQ(device.requests(), 3);
}

TEST(Tkb11Search, ByAddressSkipsZeroMacsAndStopsAtTheDevice) {
    UdpPeer device = answering({zero_mac_answer(), tkb11_answer(0x81)});
    ASSERT_TRUE(device.ok());
    std::vector<tkb11_record> records(TKB11_MAX_RECORDS);
    int count = -1, error = -1;
    ASSERT_EQ(TKB11_Search(1, kLoopback, records.data(), &count, &error, device.port(), 0), 1);
    EXPECT_EQ(error, 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(records[0].mac[5], 0x0B);
    Bytes request = device.received().at(0);
    request[6] = request[7] = 0;
    EXPECT_EQ(request, hex("54 4B 31 31 01 01 00 00 00 00 00 00 00 00 00 00"));
}

TEST(Tkb11Search, NobodyAnsweringIsSuccessWithNone) {
    UdpPeer device = answering({});
    ASSERT_TRUE(device.ok());
    std::vector<tkb11_record> records(TKB11_MAX_RECORDS);
    int count = -1, error = -1;
    EXPECT_EQ(TKB11_Search(1, kLoopback, records.data(), &count, &error, device.port(), 0), 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(error, 0);
}

TEST(Tkb11Arguments, AreCheckedBeforeAnythingIsSent) {
    tkb11_record record{};
    int count = 0, error = 0;
    const uint8_t zero_mac[6] = {};
    EXPECT_EQ(TKB11_Search(2, 0, &record, &count, &error, 0, 0), -1);
    EXPECT_EQ(error, EINVAL);
    EXPECT_EQ(TKB11_Search(1, kLoopback, nullptr, &count, &error, 0, 0), -1);
    EXPECT_EQ(error, EINVAL);
    EXPECT_EQ(TKB11_Read(1, nullptr, kLoopback, &record, &error, 70000, 0), -1);
    EXPECT_EQ(error, EINVAL);
    EXPECT_EQ(TKB11_Read(0, zero_mac, 0, &record, &error, 0, 0), -1);
    EXPECT_EQ(error, EINVAL);
    EXPECT_EQ(TKB11_Read(1, nullptr, 0, &record, &error, 0, 0), -1);
    EXPECT_EQ(error, EINVAL);
    EXPECT_EQ(TKB11_Read(1, nullptr, kLoopback, &record, nullptr, 0, 0), -1);
}

TEST(Tkb11Arguments, ALocalAddressNoInterfaceHasIsRefused) {
    tkb11_record record{};
    int error = 0;
    EXPECT_EQ(TKB11_Read(1, nullptr, kLoopback, &record, &error, 9, int(inet_addr("192.0.2.77"))),
              -1);
    EXPECT_EQ(error, TKB11_ERR_LOCAL_ADDRESS);
}

} // namespace
