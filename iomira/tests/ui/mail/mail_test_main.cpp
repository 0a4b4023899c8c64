#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Keep the tests away from the user's real store and documents folder.
    qputenv("IOMIRA_STORE", "/nonexistent/iomira-test-store.sqlite");
    qputenv("IOMIRA_DOCUMENTS", "/nonexistent/iomira-test-documents");
    // Windows are never shown on a screen; set before discovery runs the binary, too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
