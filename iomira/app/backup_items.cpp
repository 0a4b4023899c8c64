#include "app/backup_items.h"

#include "core/local_text.h"

#include "nexoltlib/nexoltlib.h"

#include <QtEndian>

#include <cstring>

namespace iomira::backup {

namespace {

int encodedSize(ItemEncoding encoding) {
    switch (encoding) {
    case ItemEncoding::Int:
        return 4;
    case ItemEncoding::U16:
        return 2;
    case ItemEncoding::Byte:
        return 1;
    case ItemEncoding::IntPorts:
        return 4 * kDigitalPorts;
    case ItemEncoding::U16Ports:
        return 2 * kDigitalPorts;
    case ItemEncoding::BytePorts:
        return kDigitalPorts;
    case ItemEncoding::Text:
        break;
    }
    return 0;
}

int elementSize(ItemEncoding encoding) {
    switch (encoding) {
    case ItemEncoding::IntPorts:
        return 4;
    case ItemEncoding::U16Ports:
        return 2;
    case ItemEncoding::BytePorts:
        return 1;
    default:
        return encodedSize(encoding);
    }
}

void appendNumber(QByteArray& out, int64_t number, int size) {
    const uint32_t bits = qToLittleEndian(static_cast<uint32_t>(number));
    out.append(reinterpret_cast<const char*>(&bits), size);
}

// Little-endian, zero-extended for one and two bytes; four bytes read as signed.
int64_t readNumber(const char* at, int size) {
    uint32_t bits = 0;
    std::memcpy(&bits, at, size);
    bits = qFromLittleEndian(bits);
    return size == 4 ? static_cast<int64_t>(static_cast<int32_t>(bits)) : bits;
}

} // namespace

void appendU16(QByteArray& out, uint16_t value) {
    appendNumber(out, value, 2);
}

uint16_t readU16(const char* at) {
    return static_cast<uint16_t>(readNumber(at, 2));
}

QByteArray encodeItemData(ItemEncoding encoding, const ItemValue& value) {
    QByteArray data;
    if (encoding == ItemEncoding::Text) return toLocalCodeSet(value.text);
    const int size = elementSize(encoding);
    if (encodedSize(encoding) == size) {
        appendNumber(data, value.number, size);
        return data;
    }
    for (int64_t element : value.ports)
        appendNumber(data, element, size);
    return data;
}

ItemValue decodeItemData(ItemEncoding encoding, QByteArrayView data, ItemRepairs& repairs) {
    ItemValue value;
    if (encoding == ItemEncoding::Text) {
        const qsizetype end = data.indexOf('\0');
        bool valid = true;
        value.text =
            fromLocalCodeSet(data.first(end < 0 ? data.size() : end).toByteArray(), &valid);
        repairs.textReplaced = repairs.textReplaced || !valid;
        return value;
    }
    const int wanted = encodedSize(encoding);
    if (data.size() != wanted) repairs.sizeAdjusted = true;
    std::array<char, 4 * kDigitalPorts> buffer{};
    std::memcpy(buffer.data(), data.data(), std::min<qsizetype>(data.size(), wanted));
    const int size = elementSize(encoding);
    if (wanted == size) {
        value.number = readNumber(buffer.data(), size);
        return value;
    }
    for (int n = 0; n < kDigitalPorts; ++n)
        value.ports[n] = readNumber(buffer.data() + n * size, size);
    return value;
}

bool appendItem(QByteArray& out, uint16_t tag, QByteArrayView data) {
    if (data.size() > kMaxItemData) return false;
    const int dataLength = static_cast<int>(data.size());
    const qsizetype start = out.size();
    const ItemHeader header{qToLittleEndian(tag),
                            qToLittleEndian(static_cast<uint16_t>(itemLength(dataLength))),
                            qToLittleEndian(static_cast<uint16_t>(itemPadding(dataLength)))};
    out.append(reinterpret_cast<const char*>(&header), sizeof header);
    out.append(data);
    out.append(itemPadding(dataLength), '\0');
    appendU16(out, crc16(out.constData() + start, static_cast<int>(out.size() - start)));
    return true;
}

std::optional<ItemView> nextItem(QByteArrayView record, qsizetype& offset, bool& damaged) {
    damaged = false;
    const qsizetype remaining = record.size() - offset;
    if (remaining < kItemHeaderSize) return std::nullopt;
    ItemHeader header;
    std::memcpy(&header, record.data() + offset, sizeof header);
    const int length = qFromLittleEndian(header.length);
    const int padding = qFromLittleEndian(header.padding);
    const int dataLength = length - kItemHeaderSize - kItemCrcSize - padding;
    const char* item = record.data() + offset;
    damaged = length % 4 != 0 || length < itemLength(0) || length > remaining || padding > 3 ||
              dataLength < 0 || dataLength > kMaxItemData ||
              crc16(item, length - kItemCrcSize) != readU16(item + length - kItemCrcSize);
    if (damaged) return std::nullopt;
    offset += length;
    return ItemView{qFromLittleEndian(header.tag),
                    QByteArrayView(item + kItemHeaderSize, dataLength)};
}

} // namespace iomira::backup
