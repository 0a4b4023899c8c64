#pragma once

#include "app/output_mirror.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTreeWidget;

namespace iomira {

class ControllerDirectory;
class UserPrompts;

// The configuration of one output set: its name, and the outputs of chosen controllers,
// picked group by group. Saving goes through the output mirror; the dialog closes once the
// set is stored.
class CMirrorSetDialog : public QDialog {
    Q_OBJECT
  public:
    CMirrorSetDialog(ControllerDirectory& directory, OutputMirror& mirror, UserPrompts& prompts,
                     const QString& set, QWidget* parent = nullptr);

    QString savedName() const { return saved_; }
    const MirrorChoice& chosen() const { return chosen_; }

    QLineEdit* description() const { return description_; }
    QComboBox* groupBox() const { return groups_; }
    QListWidget* controllerList() const { return controllers_; }
    QCheckBox* outputBox(int port) const { return outputs_[port]; }
    QTreeWidget* selection() const { return selection_; }

    // The checked outputs become the choice of every controller selected in the list.
    void addChecked();
    bool save();

  private:
    void showGroup(int index);
    void fillSelection();

    ControllerDirectory& directory_;
    OutputMirror& mirror_;
    UserPrompts& prompts_;
    QString original_;
    QString saved_;
    MirrorChoice chosen_;
    QLineEdit* description_;
    QComboBox* groups_;
    QListWidget* controllers_;
    std::array<QCheckBox*, 8> outputs_{};
    QTreeWidget* selection_;
};

} // namespace iomira
