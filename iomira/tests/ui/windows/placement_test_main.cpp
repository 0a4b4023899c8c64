// The placement tests run on an offscreen screen of 1440 x 900 pixels whose windows have
// frames, as on a laptop, so that a window's frame counts where it is placed.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 2;
    file.write(R"({"windowFrameMargins": true,
                   "screens": [{"name": "Laptop", "x": 0, "y": 0, "width": 1440,
                                "height": 900, "logicalDpi": 96}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
