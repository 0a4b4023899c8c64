#pragma once

#include <QByteArray>

namespace iomira {

inline constexpr int kSirenSampleRate = 22050;

// The built-in alarm: a rising and falling two-tone sweep as a 16-bit mono PCM WAV file.
QByteArray makeSirenWav();

} // namespace iomira
