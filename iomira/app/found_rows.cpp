#include "app/found_rows.h"

#include "core/local_text.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "kestrel/kestrel.h"
#include "monitor/error_text.h"
#include "nexoltlib/nexoltlib.h"
#include "tkb11lib/tkb11lib.h"

#include <arpa/inet.h>

#include <array>
#include <cstring>
#include <set>

namespace iomira {

namespace {

using Mac = std::array<uint8_t, 6>;

Mac macOf(const uint8_t* mac) {
    Mac m{};
    std::memcpy(m.data(), mac, m.size());
    return m;
}

QString nexoltProductName(const lib_env& env) {
    char name[32] = {};
    const int product = env.product_id != 0 ? env.product_id : env.product_code;
    if (GetProductName(product, name) != 1) return {};
    return QString::fromLatin1(name, static_cast<int>(strnlen(name, sizeof name)));
}

} // namespace

QString fieldText(const char* field, std::size_t width) {
    return fromLocalCodeSet(QByteArray(field, static_cast<int>(strnlen(field, width))));
}

QString dottedAddress(uint32_t address) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr in{};
    in.s_addr = address;
    inet_ntop(AF_INET, &in, text, sizeof text);
    return QString::fromLatin1(text);
}

QString wideFieldText(const char16_t* text, int maxLength) {
    if (!text) return {};
    int n = 0;
    while (n < maxLength && text[n] != 0)
        ++n;
    return QString::fromUtf16(text, n);
}

QString macText(const uint8_t* mac) {
    return QString::asprintf("%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3],
                             mac[4], mac[5]);
}

QString foundInformation(const uint8_t* mac, const QString& comment, uint32_t address) {
    const QString where = dottedAddress(address);
    if (comment.isEmpty()) return QStringLiteral("[%1] - [%2]").arg(macText(mac), where);
    return QStringLiteral("[%1] %2 - [%3]").arg(macText(mac), comment, where);
}

QString nexoltLibErrorMessage(int code) {
    switch (code) {
    case 0:
    case -200:
        return {};
    case -100:
        return loadString(TEXT_WRITE_FAILED_PASSWORD);
    case -300:
        return loadString(TEXT_WRITE_FAILED_LOCAL_IP);
    case -400:
        return loadString(TEXT_WRITE_FAILED_MACRO);
    case -500:
        return loadString(TEXT_WRITE_FAILED_PORT_ADDRESS);
    case -600:
        return loadString(TEXT_LOCAL_PORTS_DUPLICATED);
    case -601:
        return loadString(TEXT_PORT_23_UNAVAILABLE);
    case -602:
        return loadString(TEXT_LOCAL_AND_MODBUS_PORT_DUPLICATED);
    case -603:
        return loadString(TEXT_PORT_80_UNAVAILABLE);
    case -604:
        return loadString(TEXT_PORT_50005_UNAVAILABLE);
    case -605:
        return loadString(TEXT_PORT_50006_UNAVAILABLE);
    case -700:
        return loadString(TEXT_PRODUCT_ID_MISMATCH);
    default:
        return code < 0 ? loadString(TEXT_UNKNOWN_RESPONSE) : socketErrorText(code);
    }
}

QString tkb11LibErrorMessage(int code) {
    switch (code) {
    case 0:
    case 3:
        return {};
    case 1:
    case 2:
        return loadString(TEXT_WRITE_FAILED_PASSWORD);
    case 4:
        return loadString(TEXT_WRITE_FAILED_LOCAL_IP);
    case 5:
    case 6:
        return loadString(TEXT_UNKNOWN_RESPONSE);
    default:
        return socketErrorText(code);
    }
}

std::vector<FoundRow> nexoltLibRows(const std::vector<lib_env>& records) {
    std::vector<FoundRow> rows;
    std::set<Mac> seen;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const lib_env& env = records[i];
        if (env.io.is_io != 1) continue;
        const QString product = nexoltProductName(env);
        if (product.isEmpty() || !seen.insert(macOf(env.mac)).second) continue;
        const QString comment = fieldText(env.comment, sizeof env.comment);
        rows.push_back({product, foundInformation(env.mac, comment, env.device_address),
                        FoundSource::NexoltLib, static_cast<int>(i)});
    }
    return rows;
}

std::vector<FoundRow> tkb11LibRows(const std::vector<tkb11_record>& records) {
    std::vector<FoundRow> rows;
    std::set<Mac> seen;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const tkb11_record& r = records[i];
        if (!seen.insert(macOf(r.mac)).second) continue;
        const QString comment = fieldText(r.comment, sizeof r.comment);
        rows.push_back({QStringLiteral("TKB-11"), foundInformation(r.mac, comment, r.ip_address),
                        FoundSource::Tkb11Lib, static_cast<int>(i)});
    }
    return rows;
}

std::vector<FoundRow> kestrelRows(int found) {
    std::vector<FoundRow> rows;
    for (int index = 0; index < found; ++index) {
        char16_t product[KESTREL_TEXT_SIZE] = {};
        char16_t information[KESTREL_TEXT_SIZE] = {};
        if (GetDeviceInfo(index, product, information) != 1) continue;
        rows.push_back({wideFieldText(product, KESTREL_TEXT_SIZE),
                        wideFieldText(information, KESTREL_TEXT_SIZE), FoundSource::Kestrel,
                        index});
    }
    return rows;
}

} // namespace iomira
