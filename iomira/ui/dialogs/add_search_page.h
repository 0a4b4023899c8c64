#pragma once

#include "app/found_rows.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace iomira {

class ControllerSearch;
class CROOTDataList;
struct FoundResults;
class UserPrompts;

// The add dialog's first page: a search of the network, the controllers found, the group
// they go to.
class CAddIODevices0 : public QWidget {
    Q_OBJECT
  public:
    CAddIODevices0(UserPrompts& prompts, const CROOTDataList& groups, int rootId,
                   uint16_t languageId, QWidget* parent = nullptr);

    int chosenGroup() const;
    // The selected rows in list order.
    std::vector<FoundRow> chosenRows() const;
    FoundResults results() const;
    ControllerSearch& search() { return *search_; }

  signals:
    void searchStarted();
    void searchFinished();

  private:
    void startSearch();
    void followKind();
    void showRows(int first, int count);

    ControllerSearch* search_;
    QComboBox* kind_;
    QPushButton* searchButton_;
    QLineEdit* address_;
    QLineEdit* port_;
    QTreeWidget* list_;
    QComboBox* groups_;
};

} // namespace iomira
