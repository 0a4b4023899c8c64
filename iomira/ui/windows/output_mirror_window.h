#pragma once

#include "app/output_mirror.h"
#include "monitor/view_services.h"

#include <QDialog>

class QCheckBox;
class QListWidget;
class QTreeWidget;

namespace iomira {

class ControllerDirectory;

// "Control Multiple Ports": the sets, the members of the selected one with their connection
// and output images, ON and OFF for the whole set, and the running log. Modeless; while it is
// visible the main frame hands it every Corvel notification.
class COutputMirrorWindow : public QDialog {
    Q_OBJECT
  public:
    COutputMirrorWindow(ControllerDirectory& directory, ViewServices services,
                        QWidget* parent = nullptr);

    OutputMirror& mirror() { return mirror_; }
    void onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam);
    // The set list from the records, `select` chosen (the first when it is gone).
    void rebuildSets(const QString& select = {});

    QListWidget* setList() const { return sets_; }
    QTreeWidget* memberList() const { return members_; }
    QTreeWidget* logList() const { return log_; }

    // The configuration dialog; replaceable for tests. Returns the saved set's name, or empty.
    std::function<QString(const QString& set)> editSet;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void selectSet(const QString& set);
    void fillMemberRow(int index);
    void refreshRowsOf(int deviceId);
    void addLogRow(const QString& row);
    void deleteSet();
    void openEditor(const QString& set);
    void memberMenu(const QPoint& at);

    ControllerDirectory& directory_;
    ViewServices services_;
    OutputMirror mirror_;
    QListWidget* sets_;
    QTreeWidget* members_;
    QTreeWidget* log_;
    QCheckBox* autoScroll_;
    int generation_ = 0; // pulse timers of an earlier selection do nothing
};

} // namespace iomira
