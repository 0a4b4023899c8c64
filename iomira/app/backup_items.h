#pragma once

#include "core/quorvis_data.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace iomira::backup {

// The fixed parts of a backup file. All integers are little-endian; the structs are laid out
// exactly as the bytes and are copied in and out whole.
struct FileHeader {
    uint32_t totalLength;
    uint16_t groupCount;
    uint16_t controllerCount;
};
struct RecordHeader {
    uint16_t type;
    uint16_t length;
};
struct ItemHeader {
    uint16_t tag;
    uint16_t length; // header, data, padding and CRC
    uint16_t padding;
};

inline constexpr int kFileHeaderSize = 8;
inline constexpr int kFileCrcSize = 2;
inline constexpr int kRecordHeaderSize = 4;
inline constexpr int kItemHeaderSize = 6;
inline constexpr int kItemCrcSize = 2;
inline constexpr int kMaxRecordData = 4096;
inline constexpr int kMaxItemData = 2047;

static_assert(sizeof(FileHeader) == kFileHeaderSize);
static_assert(offsetof(FileHeader, totalLength) == 0 && offsetof(FileHeader, groupCount) == 4 &&
              offsetof(FileHeader, controllerCount) == 6);
static_assert(sizeof(RecordHeader) == kRecordHeaderSize);
static_assert(offsetof(RecordHeader, type) == 0 && offsetof(RecordHeader, length) == 2);
static_assert(sizeof(ItemHeader) == kItemHeaderSize);
static_assert(offsetof(ItemHeader, tag) == 0 && offsetof(ItemHeader, length) == 2 &&
              offsetof(ItemHeader, padding) == 4);

// Zero bytes that bring an item's data to a multiple of four.
constexpr int itemPadding(int dataLength) {
    return (4 - dataLength % 4) % 4;
}
constexpr int itemLength(int dataLength) {
    return kItemHeaderSize + dataLength + itemPadding(dataLength) + kItemCrcSize;
}
static_assert(itemPadding(0) == 0 && itemPadding(1) == 3 && itemPadding(2) == 2 &&
              itemPadding(3) == 1 && itemPadding(4) == 0);
static_assert(itemLength(0) == 8 && itemLength(5) == 16 && itemLength(4) == 12);
static_assert(itemLength(kMaxItemData) <= kMaxRecordData);

enum RecordType : uint16_t {
    RECORD_GROUP = 1,
    RECORD_CONTROLLER = 2,
    RECORD_MAIL_ACCOUNT = 3,
    RECORD_EMAIL_SCHEDULE = 4,
    RECORD_MESSAGE_SCHEDULE = 5,
    RECORD_GLOBAL = 6,
    RECORD_SOUND = 7,
};

// How a value's data is laid out: signed 32-bit, unsigned 16-bit, the field's low byte, text
// in the local code set, or one element per digital port.
enum class ItemEncoding : uint8_t { Int, U16, Byte, Text, IntPorts, U16Ports, BytePorts };

// One value on its way between a record and an item. `present` false leaves an item unwritten.
struct ItemValue {
    bool present = true;
    int64_t number = 0;
    QString text;
    std::array<int64_t, kDigitalPorts> ports{};
};

// What reading a value had to repair.
struct ItemRepairs {
    bool textReplaced = false; // bytes not valid in the code set became replacement characters
    bool sizeAdjusted = false; // data shorter or longer than the encoding's size
};

QByteArray encodeItemData(ItemEncoding encoding, const ItemValue& value);
// Reads data as the zero-filled buffer it was copied into: short data reads as zero-extended,
// longer data is cut, a text ends at its first NUL.
ItemValue decodeItemData(ItemEncoding encoding, QByteArrayView data, ItemRepairs& repairs);

// Appends one item (header, data, padding, CRC); false when the data is too long for an item.
bool appendItem(QByteArray& out, uint16_t tag, QByteArrayView data);

struct ItemView {
    uint16_t tag = 0;
    QByteArrayView data;
};

// The item at `offset` of a record's data, advancing `offset` past it; nothing when no item
// header remains. `damaged` is set when the item's length, padding or CRC is wrong.
std::optional<ItemView> nextItem(QByteArrayView record, qsizetype& offset, bool& damaged);

void appendU16(QByteArray& out, uint16_t value);
uint16_t readU16(const char* at);

} // namespace iomira::backup
