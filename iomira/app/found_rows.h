#pragma once

#include <QString>

#include <cstdint>
#include <vector>

struct lib_env;
struct tkb11_record;

namespace iomira {

// Which library found a row; `index` is the row's position in that library's results.
enum class FoundSource { NexoltLib, Tkb11Lib, Kestrel };

struct FoundRow {
    QString product;
    QString information;
    FoundSource source = FoundSource::NexoltLib;
    int index = 0;
};

// "[%02X:…] comment - [address]", or "[%02X:…] - [address]" without a comment; the address
// is IPv4 in network byte order.
QString foundInformation(const uint8_t* mac, const QString& comment, uint32_t address);
// The MAC as "%02X:%02X:%02X:%02X:%02X:%02X".
QString macText(const uint8_t* mac);

// The message a library's error code is shown with; empty when the code shows nothing (no
// error, or no answer, which the empty list reports).
QString nexoltLibErrorMessage(int code);
QString tkb11LibErrorMessage(int code);

// The rows of each library's answer. Texts are read within their fields whatever the device
// sent; a record that repeats an earlier MAC, or whose product the table does not know, gives
// no row.
std::vector<FoundRow> nexoltLibRows(const std::vector<lib_env>& records);
std::vector<FoundRow> tkb11LibRows(const std::vector<tkb11_record>& records);
std::vector<FoundRow> kestrelRows(int found);

// A text field of a device record, up to its first NUL or its width.
QString fieldText(const char* field, std::size_t width);
// A library's wide text, up to its first NUL or `maxLength` units; empty for none.
QString wideFieldText(const char16_t* text, int maxLength);
// An IPv4 address in network byte order as dotted text.
QString dottedAddress(uint32_t address);

} // namespace iomira
