// The connection test dialog: its log field, the hidden Cancel, and the question before a
// test that has not finished is left.

#include "common/event_pump.h"
#include "common/loopback_ports.h"
#include "common/test_support.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "ui/dialogs/connection_test_dialog.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class ConnectionTestDialog : public ::testing::Test {
  protected:
    ConnectionTestDialog() {
        setLanguage(LANG_ENGLISH);
        CQUORVISData record;
        record.setHostAddr("127.0.0.1");
        record.HostPort = listener.port();
        records = {record};
    }

    test::LoopbackListener listener;
    std::vector<CQUORVISData> records;
    test::RecordingPrompts prompts;
};

TEST_F(ConnectionTestDialog, ShowsTheLogAndClosesWithoutAQuestionWhenDone) {
    CTCPTestDlg dialog(records, prompts);
    dialog.show();
    EXPECT_TRUE(dialog.logField()->isReadOnly());
    EXPECT_FALSE(dialog.cancelButton()->isVisible());
    EXPECT_EQ(dialog.windowTitle(), loadString(134));
    ASSERT_TRUE(test::pumpUntil([&] { return !dialog.test().recordsRemain(); }));
    EXPECT_EQ(dialog.logField()->toPlainText(),
              QStringLiteral("Connecting To [ 127.0.0.1:%1 ] ...\n"
                             "Connection test has successfully finished.\n\n"
                             "All connection tests have been finished.\n")
                  .arg(listener.port()));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.questions, 0);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ConnectionTestDialog, LeavingARunningTestAsksFirst) {
    CTCPTestDlg dialog(records, prompts);
    dialog.show();
    ASSERT_TRUE(dialog.test().recordsRemain()) << "the lookup answers through the event loop";
    prompts.answer = false;
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.shown, QStringList{"Are you sure to exit connection test?"});
    EXPECT_TRUE(dialog.isVisible()) << "No keeps the test running";
    ASSERT_TRUE(test::pumpUntil([&] { return !dialog.test().recordsRemain(); }));
    EXPECT_TRUE(listener.acceptOne());
}

TEST_F(ConnectionTestDialog, YesLeavesTheRunningTest) {
    CTCPTestDlg dialog(records, prompts);
    dialog.show();
    prompts.answer = true;
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(prompts.questions, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

} // namespace
} // namespace iomira
