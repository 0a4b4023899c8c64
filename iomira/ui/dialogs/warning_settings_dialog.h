#pragma once

#include "notify/warning_settings_form.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace iomira {

class CROOTDataList;
class SharedControllers;
class UserPrompts;

// "Warning message": per controller, whether and with which texts switching an output
// asks first. Groups and their controllers with outputs on the left, the texts on the right.
class CWarningMSGDlg : public QDialog {
    Q_OBJECT
  public:
    struct Context {
        SharedControllers& controllers;
        const CROOTDataList& groups;
        UserPrompts& prompts;
        std::function<void(const CQUORVISData&)> save;
        // The controller's window redraws its output buttons.
        std::function<void(int deviceId)> refreshWindow;
    };

    CWarningMSGDlg(Context context, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }
    void selectController(int deviceId);
    WarningForm form() const;
    void setForm(const WarningForm& form);
    // Stores the fields for the selected controller after the question; false if nothing changed.
    bool apply();

  private:
    void fillTree();
    void selectionChanged(QTreeWidgetItem* item);
    void updateEnabled();
    int selectedDeviceId() const;

    Context context_;
    QTreeWidget* tree_;
    QCheckBox* use_;
    QRadioButton* allPorts_;
    QRadioButton* eachPort_;
    QLineEdit* allOn_;
    QLineEdit* allOff_;
    std::array<QCheckBox*, 8> rowUse_{};
    std::array<QLineEdit*, 8> rowOn_{};
    std::array<QLineEdit*, 8> rowOff_{};
    int rows_ = 8;
};

} // namespace iomira
