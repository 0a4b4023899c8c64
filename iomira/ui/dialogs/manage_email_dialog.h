#pragma once

#include "notify/manage_email_dialog_form.h"
#include "notify/send_mail_thread.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

namespace iomira {

class CROOTDataList;
class SharedControllers;
class Store;
class UserPrompts;

// What the e-mail settings dialog works on, and the program's windows it opens.
struct EmailDialogTables {
    Store& store;
    const CROOTDataList& groups;
    SharedControllers& controllers;
    CMailAccountMap& accounts;
    UserPrompts& prompts;
    std::function<void(QWidget* over)> showAccountSetting;
    std::function<void(QWidget* over, const QString& text)> showBusy;
    std::function<void()> hideBusy;
};

// "Notify Input or Output Port Change(Email)": one controller's, or several alike
// controllers', notification mail settings, and sample mails through a mail thread of its own.
class CManageEmailDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CManageEmailDlg(const EmailDialogTables& tables, QWidget* parent = nullptr);
    ~CManageEmailDlg() override;

    // The controls, for the program's tests.
    QComboBox* groupBox() const { return group_; }
    QListWidget* singleList() const { return single_; }
    QListWidget* multiList() const { return multi_; }
    QCheckBox* multiBox() const { return multiMode_; }
    QCheckBox* notifyBox() const { return notify_; }
    QCheckBox* inputBox(int i) const { return inputs_[i]; }
    QCheckBox* outputBox(int i) const { return outputs_[i]; }
    QComboBox* accountBox() const { return account_; }
    QComboBox* toBox() const { return to_; }
    QLineEdit* subjectEdit() const { return subject_; }
    QPlainTextEdit* messageEdit() const { return message_; }
    QPushButton* applyButton() const { return apply_; }
    QPushButton* sampleButton() const { return sample_; }
    CSendMailThread& sampleThread() { return *mailThread_; }

    void apply();
    void sendSample();

  private:
    void build();
    QWidget* buildMailFields();
    void fillGroups();
    void fillControllers();
    void fillAccounts();
    void fillRecipientLists();
    void singleChanged(QListWidgetItem* current, QListWidgetItem* previous);
    void multiChanged();
    void modeToggled(bool multi);
    void enableFields();

    void showForm(const EmailSettingsForm& form, const CQUORVISData* controller);
    EmailSettingsForm shownForm() const;
    bool shownDiffersFromStored() const;
    const CQUORVISData* controller(int deviceId) const;
    std::vector<int> selectedIds() const;
    bool validateAndStore(const std::vector<int>& ids);
    void sampleReported(const MailReport& report);

    EmailDialogTables tables_;
    QComboBox* group_;
    QListWidget* single_;
    QListWidget* multi_;
    QCheckBox* multiMode_;
    QCheckBox* notify_;
    std::array<QCheckBox*, kDigitalPorts> inputs_{};
    std::array<QCheckBox*, kDigitalPorts> outputs_{};
    QComboBox* account_;
    QComboBox* to_;
    QLineEdit* subject_;
    QPlainTextEdit* message_;
    QPushButton* accountSetting_;
    QPushButton* sample_;
    QPushButton* apply_;
    int shownId_ = -1;                // the controller whose values are shown
    std::vector<int> multiSelection_; // in the order the user picked them
    int samplesPending_ = 0;
    std::unique_ptr<CSendMailThread> mailThread_;
};

} // namespace iomira
