#include "library_state.h"

#include "blocks.h"
#include "bytes.h"

#include "nexoltlib/nexoltlib.h"

#include <cstring>
#include <vector>

namespace nexolt {

namespace {

std::vector<uint8_t> g_certificate;
std::string g_device_message;
std::string g_status_text;
std::string g_certificates_text;
DadResult g_dad[3];

int copy_text(const std::string& text, char* buffer) {
    if (!buffer) return -1;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return int(text.size());
}

int text_length(const std::string& text) {
    return int(text.size());
}

void copy_dad_mac(DadKind kind, uint8_t* mac) {
    if (mac) std::memcpy(mac, g_dad[kind].mac, 6);
}

double dad_seconds(DadKind kind) {
    return g_dad[kind].tick * 10.0 / 1000.0;
}

} // namespace

void keep_certificate(const uint8_t* der, size_t length) {
    g_certificate.assign(der, der + (der ? length : 0));
}
void keep_device_message(const std::string& text) {
    g_device_message = text;
}
void keep_status_text(const std::string& text) {
    g_status_text = text;
}
void keep_certificates_text(const std::string& text) {
    g_certificates_text = text;
}
void keep_dad_result(DadKind kind, const DadResult& result) {
    g_dad[kind] = result;
}

void take_dad_results(const std::vector<uint8_t>& control) {
    if (control.size() < 8 || std::memcmp(control.data() + 4, "$DAD", 4) != 0) return;
    BlockReader reader(control.data() + 8, control.size() - 8);
    BlockView b;
    while (reader.next(b)) {
        if (b.index > kDadIp6Gua || b.data_length < 12) continue;
        DadResult result;
        result.count = load_u16(b.data);
        std::memcpy(result.mac, b.data + 2, 6);
        result.tick = load_u32(b.data + 8);
        keep_dad_result(DadKind(b.index), result);
    }
}

} // namespace nexolt

using namespace nexolt;

extern "C" int get_cert_length(void) {
    return int(g_certificate.size());
}
extern "C" int get_cert(uint8_t* buffer) {
    if (!buffer) return -1;
    if (!g_certificate.empty()) std::memcpy(buffer, g_certificate.data(), g_certificate.size());
    return int(g_certificate.size());
}
// The text getters write the terminator too: size the buffer as length + 1.
extern "C" int get_certificates_string_length(void) {
    return text_length(g_certificates_text);
}
extern "C" int get_certificates_string(char* buffer) {
    return copy_text(g_certificates_text, buffer);
}
extern "C" int get_status_string_length(void) {
    return text_length(g_status_text);
}
extern "C" int get_status_string(char* buffer) {
    return copy_text(g_status_text, buffer);
}
extern "C" int get_device_message_length(void) {
    return text_length(g_device_message);
}
extern "C" int get_device_message(char* buffer) {
    return copy_text(g_device_message, buffer);
}

extern "C" int get_dad_count_ip4(void) {
    return g_dad[kDadIp4].count;
}
extern "C" void get_dad_mac_ip4(uint8_t* mac) {
    copy_dad_mac(kDadIp4, mac);
}
extern "C" double get_dad_tick_ip4(void) {
    return dad_seconds(kDadIp4);
}
extern "C" int get_dad_count_ip6_link_local(void) {
    return g_dad[kDadIp6LinkLocal].count;
}
extern "C" void get_dad_mac_ip6_link_local(uint8_t* mac) {
    copy_dad_mac(kDadIp6LinkLocal, mac);
}
extern "C" double get_dad_tick_ip6_link_local(void) {
    return dad_seconds(kDadIp6LinkLocal);
}
extern "C" int get_dad_count_ip6_gua(void) {
    return g_dad[kDadIp6Gua].count;
}
extern "C" void get_dad_mac_ip6_gua(uint8_t* mac) {
    copy_dad_mac(kDadIp6Gua, mac);
}
extern "C" double get_dad_tick_ip6_gua(void) {
    return dad_seconds(kDadIp6Gua);
}
