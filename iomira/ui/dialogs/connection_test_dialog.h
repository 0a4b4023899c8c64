#pragma once

#include "app/connection_test.h"
#include "core/quorvis_data.h"

#include <QDialog>

#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace iomira {

class UserPrompts;

// The connection test over the controllers the add dialog is about to register: the log of
// each try, and a question before it is left unfinished.
class CTCPTestDlg : public QDialog {
    Q_OBJECT
  public:
    CTCPTestDlg(std::vector<CQUORVISData> records, UserPrompts& prompts, QWidget* parent = nullptr);

    const ConnectionTest& test() const { return test_; }
    QPlainTextEdit* logField() const { return log_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;
    void reject() override;

  private:
    bool mayClose();
    void showLog(const QString& text);

    ConnectionTest test_;
    UserPrompts& prompts_;
    QPlainTextEdit* log_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Shows the test modally over the records.
void runConnectionTest(QWidget* parent, std::vector<CQUORVISData> records);

} // namespace iomira
