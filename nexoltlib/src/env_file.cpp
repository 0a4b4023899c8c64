// Settings files: "nlx" (length, enciphered payload, CRC, trailer) and "bin" (plain blocks).
#include "bytes.h"
#include "rc4.h"
#include "record_codec.h"

#include "nexoltlib/nexoltlib.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum Result {
    kOk = 0,
    kBadSize = 1,
    kBadCrc = 2,
    kBadVersion = 3,
    kNoDecode = 4,
    kBadExtension = 5
};
constexpr size_t kMaxFile = 65535;
constexpr size_t kTrailer = 32;

enum class Format { nlx, bin, unknown };

Format format_of(const std::string& name) {
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (ext == "nlx" || ext == "NLX") return Format::nlx;
    if (ext == "bin" || ext == "BIN") return Format::bin;
    return Format::unknown;
}

// Reads at most kMaxFile + 1 bytes, enough to tell an oversized file.
int read_file(const char* name, std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(name, "rb");
    if (!f) return errno ? errno : ENOENT;
    bytes.resize(kMaxFile + 1);
    size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
    int error = std::ferror(f) ? (errno ? errno : EIO) : 0;
    std::fclose(f);
    bytes.resize(n);
    return error;
}

bool decodes(const uint8_t* blocks, size_t length) {
    lib_env env;
    return nexolt::decode_record(blocks, length, env, nullptr);
}

int parse_nlx(const std::vector<uint8_t>& file, nexolt_env_file& result) {
    if (file.size() < 4) return kBadSize;
    size_t n = nexolt::load_u32(file.data());
    if (n > kMaxFile || file.size() < 4 + n + 2 + kTrailer) return kBadSize;
    const uint8_t* payload = file.data() + 4;
    std::memcpy(result.trailer, payload + n + 2, kTrailer);
    if (crc16(payload, int(n)) != nexolt::load_u16(payload + n)) return kBadCrc;
    if (result.trailer[4] != '1' && result.trailer[4] != '3') return kBadVersion;
    nexolt::crypt_payload(0, payload, result.payload, n);
    result.payload_length = int(n);
    return decodes(result.payload, n) ? kOk : kNoDecode;
}

int parse_bin(const std::vector<uint8_t>& file, nexolt_env_file& result) {
    if (file.size() > kMaxFile) return kBadSize;
    result.trailer[4] = '3';
    std::memcpy(result.payload, file.data(), file.size());
    result.payload_length = int(file.size());
    return decodes(result.payload, file.size()) ? kOk : kNoDecode;
}

} // namespace

extern "C" int parse_env_file(const char* file_name, nexolt_env_file* result) {
    if (!file_name || !result) return kBadExtension;
    std::memset(result, 0, sizeof *result);
    Format format = format_of(file_name);
    if (format == Format::unknown) return result->result = kBadExtension;
    std::vector<uint8_t> file;
    if (int error = read_file(file_name, file)) return result->result = error;
    if (file.size() > kMaxFile) return result->result = kBadSize;
    result->result = format == Format::nlx ? parse_nlx(file, *result) : parse_bin(file, *result);
    return result->result;
}
