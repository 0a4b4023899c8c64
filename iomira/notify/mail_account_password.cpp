#include "notify/mail_account_password.h"

#include "core/local_text.h"
#include "nexoltlib/nexoltlib.h"

namespace iomira {

namespace {

uint16_t addressCrc(const QString& serverAddress) {
    const QByteArray address = toLocalCodeSet(serverAddress);
    return crc16(address.constData(), static_cast<int>(address.size()));
}

// Drops whole characters from the end until the text fits, so that a long password never
// ends in half a character whatever the code set. Every character takes at least one byte.
QByteArray limitedCodeSetBytes(const QString& password) {
    QString kept = password.left(kMailPasswordMaxBytes);
    if (kept.size() < password.size() && kept.back().isHighSurrogate()) kept.chop(1);
    QByteArray bytes = toLocalCodeSet(kept);
    while (bytes.size() > kMailPasswordMaxBytes) {
        kept.chop(kept.size() > 1 && kept.back().isLowSurrogate() ? 2 : 1);
        bytes = toLocalCodeSet(kept);
    }
    return bytes;
}

QByteArray crypt(const QByteArray& in, const QString& serverAddress) {
    QByteArray out(in.size(), '\0');
    if (in.isEmpty()) return out;
    rc4_crypt_data(addressCrc(serverAddress), reinterpret_cast<const uint8_t*>(in.constData()),
                   static_cast<int>(in.size()), reinterpret_cast<uint8_t*>(out.data()));
    return out;
}

} // namespace

QByteArray encipherMailPassword(const QString& password, const QString& serverAddress) {
    return crypt(limitedCodeSetBytes(password), serverAddress);
}

QString decipherMailPassword(const QByteArray& stored, const QString& serverAddress) {
    return QString::fromLocal8Bit(crypt(stored.left(kMailPasswordMaxBytes), serverAddress));
}

} // namespace iomira
