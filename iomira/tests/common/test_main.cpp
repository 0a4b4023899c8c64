#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Keep the tests away from the user's real store and documents folder.
    qputenv("IOMIRA_STORE", "/nonexistent/iomira-test-store.sqlite");
    qputenv("IOMIRA_DOCUMENTS", "/nonexistent/iomira-test-documents");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
