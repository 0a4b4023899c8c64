#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLayout;
class QListWidget;
class QSpinBox;
class QWidget;
class QTreeWidget;

namespace iomira {

class CQUORVISData;
class CROOTDataList;
class SharedControllers;
class UserPrompts;
struct GlobalValue;

// "Manage log": which controllers are logged (left the group's unlogged ones, right every
// logged one), the four category switches and the deleting of old daily files, each stored
// as soon as it is changed.
class CManageLogDlg : public QDialog {
    Q_OBJECT
  public:
    struct Context {
        SharedControllers& controllers;
        const CROOTDataList& groups;
        UserPrompts& prompts;
        std::function<void(const CQUORVISData&)> save;
        std::function<int(const GlobalValue&)> logSwitch;
        std::function<void(const GlobalValue&, int)> setLogSwitch;
    };

    CManageLogDlg(Context context, QWidget* parent = nullptr);

    QComboBox* groupChoice() const { return group_; }
    QListWidget* unlogged() const { return left_; }
    QTreeWidget* logged() const { return right_; }
    QCheckBox* switchBox(int index) const { return switches_[index]; }
    QCheckBox* deleteOldFilesBox() const { return deleteOld_; }
    QSpinBox* keepDaysBox() const { return keepDays_; }

    void start();
    void stop();

  private:
    void fillLeft();
    void fillRight();
    void setUseLog(const std::vector<int>& deviceIds, int useLog);
    QLayout* makeRetentionRow(QWidget* parent);

    Context context_;
    QComboBox* group_;
    QListWidget* left_;
    QTreeWidget* right_;
    QCheckBox* switches_[4];
    QCheckBox* deleteOld_ = nullptr;
    QSpinBox* keepDays_ = nullptr;
};

} // namespace iomira
