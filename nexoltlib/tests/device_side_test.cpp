// tevronsim's device side under requests the library would not send: fragments out of
// order, a payload whose CRC is wrong, a request or its pieces repeated; and the limits of
// search and read.
#include "sim_fixture.h"

#include "blocks.h"
#include "frame.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

using namespace nexolt::test;
using Bytes = std::vector<uint8_t>;

class DeviceSide : public SimFixture {
  protected:
    // Sends the datagrams from one ephemeral loopback port; the replies that come back
    // within 300 ms of the last one.
    std::vector<Bytes> exchange(const std::vector<Bytes>& datagrams) {
        int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        EXPECT_GE(fd, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = kLoopback;
        to.sin_port = htons(port);
        for (const auto& d : datagrams)
            sendto(fd, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        std::vector<Bytes> replies;
        uint8_t buffer[2048];
        pollfd p{fd, POLLIN, 0};
        while (poll(&p, 1, 300) > 0) {
            ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n > 0) replies.emplace_back(buffer, buffer + n);
        }
        close(fd);
        return replies;
    }

    static Bytes comment_write(const char* comment) {
        char field[64] = {};
        std::strncpy(field, comment, sizeof field - 1);
        Bytes payload;
        nexolt::append_block(payload, 7, 0, field, sizeof field);
        return nexolt::build_request(nexolt::kCmdWrite, 0x02, kHallMac, 0x1234, payload);
    }
};

TEST_F(DeviceSide, FragmentOutOfOrderIsDropped) {
    Bytes frame = comment_write("never");
    Bytes second(frame.begin(), frame.begin() + 32);
    second[22] = 40; // offset 40 arrives while nothing was collected
    second.insert(second.end(), frame.begin() + 72, frame.end());
    EXPECT_TRUE(exchange({second}).empty());
    auto lines = logged(3);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("fragment out of order"), std::string::npos);
}

TEST_F(DeviceSide, PayloadWithWrongCrcIsNotAnswered) {
    Bytes frame = comment_write("bad crc");
    frame[8] ^= 0xFF;
    EXPECT_TRUE(exchange({frame}).empty());
    auto lines = logged(3);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("payload CRC"), std::string::npos);
}

TEST_F(DeviceSide, RepeatedRequestIsAnsweredAgainButCarriedOutOnce) {
    Bytes frame = comment_write("twice");
    auto replies = exchange({frame, frame});
    ASSERT_EQ(replies.size(), 2u);
    for (const auto& r : replies) {
        EXPECT_EQ(r[5] & 0x80, 0x80);
        EXPECT_EQ(r[7], 0) << "status";
    }
    auto lines = logged(3);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("applied 1"), std::string::npos);
    EXPECT_NE(lines[1].find("\"note\":\"repeat\""), std::string::npos);
}

TEST_F(DeviceSide, PiecesSentTwiceAreCollectedOnceAndAnsweredOnce) {
    Bytes frame = comment_write("in pieces");
    Bytes first(frame.begin(), frame.begin() + 72); // header and 40 payload bytes
    first[5] |= 0x04;                               // more pieces follow
    Bytes last(frame.begin(), frame.begin() + 32);
    last[22] = 40;
    last.insert(last.end(), frame.begin() + 72, frame.end());
    auto replies = exchange({first, first, last, last});
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0][7], 0) << "status";
    auto lines = logged(3);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[1].find("fragment repeat"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("applied 1"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("\"reason\":\"repeat\""), std::string::npos) << lines[3];
}

TEST_F(DeviceSide, SearchKeepsAtMostItsMaximum) {
    std::vector<lib_env> results(2);
    int count = 0, error = 0;
    ASSERT_EQ(Nexolt_Search2(1, kLoopback, results.data(), &count, &error, 400, port, 0, 2), 1);
    EXPECT_EQ(count, 2) << "three devices answer";
    EXPECT_EQ(get_tevron_count(), 2);
}

TEST_F(DeviceSide, ReadOfAnAddressNobodyAnswers) {
    lib_env record{};
    int error = 0;
    // A second loopback address with no simulator behind it.
    uint32_t silent = htonl(0x7F000002);
    EXPECT_EQ(Nexolt_Read2(1, nullptr, silent, &record, &error, 300, port, 0, 16), -1);
    EXPECT_EQ(error, -200);
}

TEST_F(DeviceSide, ForgettingTheDevicesEmptiesTheTable) {
    ASSERT_EQ(get_tevron_count(), 3);
    Exit_Library();
    EXPECT_EQ(get_tevron_count(), 0);
    int error = 0;
    EXPECT_EQ(Tevron_Status(kHallMac, port, &error), -1);
    EXPECT_EQ(error, -900);
    EXPECT_EQ(get_io_unit_id(kHallMac), -1);
}

} // namespace
