#pragma once

#include "core/quorvis_data.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;
class QTabWidget;

namespace iomira {

class CAddIODevices0;
class CAddIODevices1;
class ControllerTable;
class CROOTDataList;
struct Gathering;
class SearchProgressNotice;
class UserPrompts;

// "Add I/O Controller": controllers found by a search or described by hand, checked and
// gathered; on Add the dialog closes with the accepted records for the caller to register.
class CAddIODevices : public QDialog {
    Q_OBJECT
  public:
    CAddIODevices(UserPrompts& prompts, const CROOTDataList& groups,
                  const ControllerTable& registered, int rootId, uint16_t languageId,
                  QWidget* parent = nullptr);
    ~CAddIODevices() override;

    const std::vector<CQUORVISData>& accepted() const { return accepted_; }
    int targetGroup() const { return targetGroup_; }

    void accept() override;

    // Runs the connection test over the gathered records (the Connection Test button).
    std::function<void(QWidget* parent, const std::vector<CQUORVISData>& records)> connectionTest;

  private:
    // Checks the shown page and gathers its records; false when the dialog stays open.
    bool gather();
    bool checkedGathering(const Gathering& gathering, bool searchPage);
    void testConnections();
    void showSearching(bool searching);

    UserPrompts& prompts_;
    const ControllerTable& registered_;
    QTabWidget* tabs_;
    CAddIODevices0* searchPage_;
    CAddIODevices1* manualPage_;
    QPushButton* test_;
    QPushButton* add_;
    QPushButton* cancel_;
    SearchProgressNotice* notice_;
    std::vector<CQUORVISData> accepted_;
    int targetGroup_ = -1;
};

} // namespace iomira
