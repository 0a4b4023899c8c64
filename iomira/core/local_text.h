#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace iomira {

// Text for files and protocols that expect the system's narrow code set (the locale's, UTF-8
// on Linux). The one place that decides that conversion.
QByteArray toLocalCodeSet(const QString& text);
QString fromLocalCodeSet(QByteArrayView text);
// As above; `valid` tells whether every byte belonged to the code set (others are replaced).
QString fromLocalCodeSet(QByteArrayView text, bool* valid);
// Whether every byte belongs to the code set, without decoding.
bool isLocalCodeSet(QByteArrayView text);

} // namespace iomira
