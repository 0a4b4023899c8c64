#pragma once

#include "app/settings_dialog_kind.h"
#include "core/quorvis_data.h"

#include <QDialog>

#include <memory>

class QPushButton;
class QVBoxLayout;

namespace iomira {

class SettingsSwitchesBox;
class UserPrompts;

// An advanced-settings dialog: edits a copy of the controller record and copies it back on
// OK only. On its own it is the dialog of the models with nothing but switches (RLX-820,
// RLX-830); the other models' dialogs add their groups above the switches.
class CSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    CSettingsDialog(const QString& caption, CQUORVISData& record, SettingsDialogKind kind,
                    UserPrompts& prompts, QWidget* parent = nullptr);

    SettingsDialogKind kind() const { return kind_; }
    const CQUORVISData& edited() const { return edited_; }
    SettingsSwitchesBox* switches() const { return switches_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

  protected:
    CQUORVISData& working() { return edited_; }
    QVBoxLayout* contentLayout() const { return content_; }
    // Puts what the fields hold into the copy before OK takes it.
    virtual void storeFields() {}
    // Why OK may not close yet; empty when it may.
    virtual QString refusal() const { return {}; }

  private:
    CQUORVISData& record_;
    CQUORVISData edited_;
    SettingsDialogKind kind_;
    UserPrompts& prompts_;
    QVBoxLayout* content_;
    SettingsSwitchesBox* switches_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// The dialog the model opens; `model` is the product text, the record's own by default.
std::unique_ptr<CSettingsDialog> makeSettingsDialog(const QString& caption, CQUORVISData& record,
                                                    const QString& model, UserPrompts& prompts,
                                                    QWidget* parent);

// Shows the model's dialog modally; true on OK, the record changed only then.
bool runSettingsDialog(QWidget* parent, const QString& caption, CQUORVISData& record,
                       const QString& model = {});

} // namespace iomira
