#pragma once

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QListWidget;

namespace iomira {

class ControllerManagement;

// "Manage I/O Controller": two groups side by side; the selected controllers of one side move
// to the other side's group, or are deleted. The management makes every change.
class CManagementDlg : public QDialog {
    Q_OBJECT
  public:
    enum Side { Left = 0, Right = 1 };

    explicit CManagementDlg(ControllerManagement& management, QWidget* parent = nullptr);

    // Shows a group and its windows; called with the destination after a move.
    std::function<void(int rootId)> showGroup;

    QComboBox* groupList(Side side) const { return panels_[side].group; }
    QListWidget* controllerList(Side side) const { return panels_[side].list; }

  private:
    struct Panel {
        QComboBox* group = nullptr;
        QListWidget* list = nullptr;
    };

    QLayout* makePanel(Side side);
    QLayout* makeMoveButtons();
    void fillGroups();
    void fillList(Side side);
    void refillLists();
    int groupOf(Side side) const;
    std::vector<int> selectedIn(Side side) const;
    void moveFrom(Side side);
    void removeSelected(Side side);
    void removeAll(Side side);

    ControllerManagement& management_;
    Panel panels_[2];
};

} // namespace iomira
