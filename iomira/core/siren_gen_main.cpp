// Build step: writes the built-in siren so it can be compiled into the program as a resource.
#include "core/siren_wav.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray wav = iomira::makeSirenWav();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(wav) != wav.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
