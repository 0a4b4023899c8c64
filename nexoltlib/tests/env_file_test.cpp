// Settings files on disk and the comparison of two block sequences.
#include "blocks.h"
#include "bytes.h"
#include "record_builders.h"

#include "nexoltlib/nexoltlib.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

class EnvFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("nexolt_env_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        result = std::make_unique<nexolt_env_file>();
        payload = nexolt::test::encode(nexolt::test::io_controller(52));
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const Bytes& bytes) {
        fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }

    Bytes nlx(const Bytes& plain, char version) {
        Bytes sealed(plain.size());
        rc4_crypt_data(0, plain.data(), int(plain.size()), sealed.data());
        Bytes out(4);
        nexolt::store_u32(out.data(), uint32_t(plain.size()));
        out.insert(out.end(), sealed.begin(), sealed.end());
        uint16_t crc = crc16(sealed.data(), int(sealed.size()));
        out.push_back(uint8_t(crc));
        out.push_back(uint8_t(crc >> 8));
        Bytes trailer(32, 0);
        trailer[4] = uint8_t(version);
        out.insert(out.end(), trailer.begin(), trailer.end());
        return out;
    }

    fs::path dir;
    std::unique_ptr<nexolt_env_file> result;
    Bytes payload;
};

TEST_F(EnvFile, ReadsBothFormats) {
    for (const char* name : {"saved.nlx", "SAVED.NLX"}) {
        EXPECT_EQ(parse_env_file(write(name, nlx(payload, '3')).c_str(), result.get()), 0) << name;
        EXPECT_EQ(result->payload_length, int(payload.size()));
        EXPECT_EQ(Bytes(result->payload, result->payload + payload.size()), payload);
        EXPECT_EQ(result->trailer[4], '3');
    }
    EXPECT_EQ(parse_env_file(write("v1.nlx", nlx(payload, '1')).c_str(), result.get()), 0);
    EXPECT_EQ(parse_env_file(write("plain.bin", payload).c_str(), result.get()), 0);
    EXPECT_EQ(result->trailer[4], '3');
    EXPECT_EQ(result->payload_length, int(payload.size()));
}

TEST_F(EnvFile, ResultCodes) {
    Bytes corrupt_crc = nlx(payload, '3');
    corrupt_crc[4 + payload.size()] ^= 1;
    Bytes truncated = nlx(payload, '3');
    truncated.resize(truncated.size() - 1);
    Bytes huge_length = nlx(payload, '3');
    nexolt::store_u32(huge_length.data(), 0xFFFFFFF0u);
    Bytes bad_blocks = payload;
    bad_blocks[bad_blocks.size() - 1] ^= 1;
    struct Case {
        std::string name;
        Bytes bytes;
        int code;
    } cases[] = {
        {"version2.nlx", nlx(payload, '2'), 3},
        {"crc.nlx", corrupt_crc, 2},
        {"short.nlx", truncated, 1},
        {"tiny.nlx", Bytes{1, 2}, 1},
        {"length.nlx", huge_length, 1},
        {"big.bin", Bytes(65536, 0), 1},
        {"blocks.nlx", nlx(bad_blocks, '3'), 4},
        {"blocks.bin", bad_blocks, 4},
        {"settings.txt", payload, 5},
        {"noextension", payload, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_env_file(write(c.name, c.bytes).c_str(), result.get()), c.code) << c.name;
    EXPECT_EQ(parse_env_file((dir / "missing.bin").c_str(), result.get()), ENOENT);
    EXPECT_EQ(result->result, ENOENT);
}

TEST(CompareBlocks, EqualMissingAndDifferent) {
    Bytes a = nexolt::test::encode(nexolt::test::serial_server(17, 17, 2));
    std::vector<char> text(NEXOLT_COMPARE_TEXT_SIZE);
    EXPECT_EQ(memcmp_env_bin(17, a.data(), a.data(), int(a.size()), text.data()), 0);

    lib_env changed = nexolt::test::serial_server(17, 17, 2);
    changed.uart[1].var.mux_type = NEXOLT_MUX_U2S;
    Bytes b = nexolt::test::encode(changed);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(memcmp_env_bin(17, a.data(), b.data(), int(a.size()), text.data()), -2);
    std::string message = text.data();
    EXPECT_NE(message.find("UART VAR[1]"), std::string::npos) << message;
    EXPECT_NE(message.find("\r\n\r\n env_bin_buf1\r\n "), std::string::npos);
    EXPECT_NE(message.find("mux_type   0 (0:T2S"), std::string::npos) << message;
    EXPECT_NE(message.find("mux_type   3 (0:T2S"), std::string::npos) << message;

    Bytes c = a;
    c[0] = 99; // the first block (2,1) now has an unknown type, so b lacks a's block
    nexolt::store_u16(c.data() + 6, crc16(c.data(), 6));
    EXPECT_EQ(memcmp_env_bin(17, c.data(), a.data(), int(a.size()), text.data()), -1);
    EXPECT_NE(std::string(text.data()).find("not found"), std::string::npos);
}

TEST(CompareBlocks, HostileLengthsStayInside) {
    Bytes junk = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x04, 0x00};
    std::vector<char> text(NEXOLT_COMPARE_TEXT_SIZE);
    EXPECT_EQ(memcmp_env_bin(0, junk.data(), junk.data(), int(junk.size()), text.data()), 0);
}

} // namespace
