#pragma once

#include <QByteArray>
#include <QString>

namespace iomira {

// The longest password kept, in bytes of the system's code set.
inline constexpr int kMailPasswordMaxBytes = 4095;

// The stored form of a password: its code-set bytes enciphered with RC4 under a key made of
// the program's fixed 14 bytes and the CRC-16 of the server address. Tying the key to the
// address means a copied value is useless for another server.
QByteArray encipherMailPassword(const QString& password, const QString& serverAddress);
QString decipherMailPassword(const QByteArray& stored, const QString& serverAddress);

} // namespace iomira
