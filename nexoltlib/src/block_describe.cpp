#include "block_describe.h"

#include "bytes.h"
#include "products.h"

#include "nexoltlib/nexoltlib.h"

#include <cstdarg>
#include <cstdio>

namespace nexolt {

namespace {

struct CatalogueEntry {
    uint8_t type;
    uint8_t first_index, last_index;
    int data_length; // -1: any
    const char* label;
};

constexpr CatalogueEntry kCatalogue[] = {
    {0, 0, 0, 0, "FILLER"},
    {1, 0, 0, 12, "MAC"},
    {1, 1, 1, 16, "USER MAC"},
    {2, 0, 0, 2, "PRODUCT CODE"},
    {2, 1, 1, 2, "PRODUCT ID"},
    {3, 0, 0, 4, "IP"},
    {3, 1, 1, 4, "SUBNET MASK"},
    {3, 2, 2, 4, "GATEWAY"},
    {3, 3, 3, 4, "DNS"},
    {4, 0, 0, 18, "IP6"},
    {4, 2, 2, 16, "IP6 GATEWAY"},
    {4, 3, 3, 16, "IP6 DNS"},
    {4, 8, 8, 16, "IP6 MODBUS PEER"},
    {4, 16, 63, 16, "UART IP6 PEER[%d]"},
    {5, 0, 0, 4, "OPTION"},
    {6, 0, 0, 10, "PASSWORD"},
    {6, 1, 1, 10, "NEW PASSWORD"},
    {7, 0, 0, 64, "COMMENT"},
    {7, 1, 8, 16, "DI COMMENT[%d]"},
    {7, 9, 16, 16, "DO COMMENT[%d]"},
    {7, 17, 64, 32, "UART COMMENT[%d]"},
    {8, 0, 0, 48, "PPPoE"},
    {8, 1, 1, 48, "DDNS ID"},
    {8, 3, 3, 48, "EAP"},
    {9, 0, 0, 4, "WLAN"},
    {9, 1, 1, 32, "SSID"},
    {9, 2, 2, 20, "WEP64"},
    {9, 3, 3, 52, "WEP128"},
    {9, 4, 4, 32, "WPA PP"},
    {9, 8, 8, 64, "WPA PP64"},
    {9, 5, 5, 32, "WPA PSK"},
    {9, 9, 9, 32, "WPA PSK64"},
    {9, 6, 6, 16, "WLAN POWER"},
    {9, 7, 7, 1, "WEP KEY FORM"},
    {10, 0, 0, 10, "RANDOM ID"},
    {11, 0, 3, -1, "CERT[%d]"},
    {12, 0, 0, 16, "PRODUCT NAME"},
    {16, 0, 47, 12, "UART DEV[%d]"},
    {20, 0, 47, 12, "UART DEV[%d]"},
    {32, 0, 47, 20, "UART VAR[%d]"},
    {44, 0, 47, 20, "UART VAR[%d]"},
    {33, 0, 0, 6, "ALLOWED MAC"},
    {34, 0, 0, 8, "ALLOWED IP"},
    {35, 0, 47, 64, "UART HOST[%d]"},
    {35, 64, 65, 64, "PLM40 HOST[%d]"},
    {35, 128, 129, 64, "DDNS HOST"},
    {36, 0, 7, 32, "IO MACRO[%d]"},
    {37, 0, 0, 56, "IO"},
    {38, 0, 0, 10, "TUNE TCP"},
    {39, 0, 0, 12, "IP NOTIFICATION"},
    {40, 0, 0, 10, "Port MAP"},
    {41, 0, 0, 12, "PLM40 SERIAL"},
    {41, 1, 1, 1, "PLM40 MUX"},
    {41, 2, 2, 16, "PLM40 ID"},
    {41, 3, 3, 20, "PLM40 PEERS"},
    {41, 4, 4, 2, "PLM40 CHECK PORT"},
    {41, 5, 5, 216, "RTU VAR"},
    {41, 6, 6, 32, "LINK QUALITY"},
    {42, 0, 47, 6, "UART SEPARATOR[%d]"},
    {45, 0, 47, 6, "UART SEPARATOR[%d]"},
    {43, 0, 0, 20, "ALLOWED IP6"},
    {46, 0, 0, 12, "EMAIL OPTION"},
    {46, 1, 1, 64, "EMAIL ADDRESS"},
    {46, 2, 2, 8, "EMAIL MASK"},
    {48, 0, 0, -1, "STATUS"},
    {49, 0, 0, 24, "TCP SESSION"},
    {50, 0, 0, -1, "CONTROL"},
    {51, 0, 0, 48, "TCP6 SESSION"},
    {52, 0, 0, -1, "PDB"},
    {53, 0, 0, -1, "MESSAGE"},
    {64, 0, 0, 2, "HTML SIZE"},
    {254, 0, 0, -1, "USER PAGE"},
    {255, 0, 0, 0, "END"},
};

const CatalogueEntry* find_entry(uint8_t type, uint8_t index, uint16_t product_code) {
    // Index 2 of the host names is the Modbus/TCP peer on the I/O controllers.
    static constexpr CatalogueEntry kModbusHost{35, 2, 2, 64, "MODBUS HOST"};
    if (type == 35 && index == 2 && product_code == 16) return &kModbusHost;
    for (const auto& e : kCatalogue)
        if (e.type == type && index >= e.first_index && index <= e.last_index) return &e;
    return nullptr;
}

void append(std::string& out, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

constexpr const char* kIndent = "  ";

void describe_uart_dev(std::string& out, const uint8_t* d) {
    uint32_t w = load_u32(d);
    append(out, "%s stype       %d (0:RS232, 1:RS485, 2:RS422)\r\n", kIndent, (w >> 2) & 3);
    append(out, "%s databit     %d (0:5, 1:6, 2:7, 3:8)\r\n", kIndent, (w >> 4) & 3);
    append(out, "%s stopbit     %d (0:1, 1:1.5, 2:2)\r\n", kIndent, (w >> 6) & 3);
    append(out, "%s parity      %d (0:None, 1:Even, 2:Odd, 3:Mark/Space)\r\n", kIndent,
           (w >> 8) & 3);
    append(out, "%s flowctrl    %d (0:None, 1:RTS/CTS, 2:Xon/Xoff)\r\n", kIndent, (w >> 10) & 3);
    append(out, "%s dtrdsr      %d\r\n", kIndent, (w >> 24) & 1);
    append(out, "%s max_baud    %u\r\n", kIndent, load_u32(d + 4));
    append(out, "%s sio_baud    %u\r\n", kIndent, load_u32(d + 8));
}

void describe_uart_var(std::string& out, const uint8_t* d) {
    append(out, "%s local_ip   %u.%u.%u.%u\r\n", kIndent, d[0], d[1], d[2], d[3]);
    append(out, "%s peer_ip    %u.%u.%u.%u\r\n", kIndent, d[4], d[5], d[6], d[7]);
    append(out, "%s local_port %u\r\n", kIndent, load_u16(d + 8));
    append(out, "%s peer_port  %u\r\n", kIndent, load_u16(d + 10));
    append(out, "%s mux_type   %d (0:T2S, 1:ATC, 2:COD, 3:U2S, 4:MODBUS)\r\n", kIndent, d[12]);
    append(out, "%s no_delay   %d\r\n", kIndent, d[13] & 1);
    append(out, "%s timeout    %u\r\n", kIndent, load_u16(d + 18));
}

void describe_io(std::string& out, const uint8_t* d) {
    uint32_t flags = load_u32(d);
    append(out, "%s modbus      %d\r\n", kIndent, flags & 1);
    append(out, "%s active      %d\r\n", kIndent, (flags >> 3) & 1);
    append(out, "%s peer_port   %u\r\n", kIndent, load_u16(d + 8));
    append(out, "%s slave_id    %u\r\n", kIndent, load_u16(d + 10));
    append(out, "%s input_addr  %u\r\n", kIndent, load_u16(d + 12));
    append(out, "%s output_addr %u\r\n", kIndent, load_u16(d + 14));
}

void describe_wlan(std::string& out, const uint8_t* d) {
    append(
        out,
        "%s wpa            %d (0:None, 1:EAP TLS, 2:WPA PSK, 3:EAP TTLS, 4:WPA2 PSK, 5:PEAP)\r\n",
        kIndent, (load_u32(d) >> 4) & 7);
}

void describe_bytes(std::string& out, const uint8_t* d, size_t n) {
    out += kIndent;
    for (size_t i = 0; i < n; ++i)
        append(out, i % 16 == 15 && i + 1 < n ? "%02X\r\n  " : "%02X ", d[i]);
    out += "\r\n";
}

void describe_fields(std::string& out, const CatalogueEntry* e, const uint8_t* d, size_t n) {
    int expected = e ? e->data_length : -1;
    bool full = expected >= 0 && n >= size_t(expected);
    if (full && (e->type == 16 || e->type == 20))
        describe_uart_dev(out, d);
    else if (full && (e->type == 32 || e->type == 44))
        describe_uart_var(out, d);
    else if (full && e->type == 37)
        describe_io(out, d);
    else if (full && e->type == 9 && e->first_index == 0)
        describe_wlan(out, d);
    else
        describe_bytes(out, d, n);
}

} // namespace

std::string block_label(uint8_t type, uint8_t index, uint16_t product_code) {
    const CatalogueEntry* e = find_entry(type, index, product_code);
    char label[64];
    if (!e)
        std::snprintf(label, sizeof label, "BLOCK %u-%u", type, index);
    else
        std::snprintf(label, sizeof label, e->label, index - e->first_index);
    return label;
}

std::string describe_block(const uint8_t* block, size_t length, uint16_t product_code) {
    std::string out = block_label(block[0], block[1], product_code) + "\r\n";
    const CatalogueEntry* e = find_entry(block[0], block[1], product_code);
    if (length < kMinBlock) return out + "  (length field too small)\r\n";
    size_t room = length - 6;
    if (e && e->data_length >= 0 && block_length(size_t(e->data_length)) != length)
        out += "  (length differs from the catalogue)\r\n";
    if (crc16(block, int(length - 2)) != load_u16(block + length - 2)) out += "  (CRC error)\r\n";
    describe_fields(out, e, block + kBlockHeader, room);
    return out;
}

} // namespace nexolt
