#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Screenshots are taken under Xvfb by setting the platform; otherwise no display is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
