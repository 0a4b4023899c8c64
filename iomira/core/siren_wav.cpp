#include "core/siren_wav.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace iomira {

namespace {

constexpr double kSeconds = 1.6;
constexpr double kSweepSeconds = 0.8; // one rise and fall
constexpr double kLowHz = 650.0;
constexpr double kHighHz = 1300.0;
constexpr double kAmplitude = 0.6 * 32767.0;
constexpr double kFadeSeconds = 0.02; // avoids clicks at both ends

void appendLe32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLe16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

QByteArray header(quint32 dataBytes) {
    QByteArray out;
    out.append("RIFF", 4);
    appendLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    appendLe32(out, 16); // fmt chunk size
    appendLe16(out, 1);  // PCM
    appendLe16(out, 1);  // mono
    appendLe32(out, kSirenSampleRate);
    appendLe32(out, kSirenSampleRate * 2);
    appendLe16(out, 2);  // block align
    appendLe16(out, 16); // bits per sample
    out.append("data", 4);
    appendLe32(out, dataBytes);
    return out;
}

double envelope(double t) {
    return std::min({1.0, t / kFadeSeconds, (kSeconds - t) / kFadeSeconds});
}

} // namespace

QByteArray makeSirenWav() {
    const int samples = static_cast<int>(kSeconds * kSirenSampleRate);
    QByteArray wav = header(static_cast<quint32>(samples) * 2);
    double phase = 0.0;
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / kSirenSampleRate;
        const double sweep = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t / kSweepSeconds);
        phase += 2.0 * std::numbers::pi * (kLowHz + (kHighHz - kLowHz) * sweep) / kSirenSampleRate;
        const double value = kAmplitude * envelope(t) * std::sin(phase);
        appendLe16(wav, static_cast<quint16>(static_cast<qint16>(std::lround(value))));
    }
    return wav;
}

} // namespace iomira
