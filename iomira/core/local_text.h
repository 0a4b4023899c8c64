#pragma once

#include <QByteArray>
#include <QString>

namespace iomira {

// Text for files and protocols that expect the system's narrow code set (the locale's, UTF-8
// on Linux). The one place that decides that conversion.
QByteArray toLocalCodeSet(const QString& text);
QString fromLocalCodeSet(const QByteArray& text);

} // namespace iomira
