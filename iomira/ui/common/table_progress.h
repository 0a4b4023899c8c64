#pragma once

#include "app/controller_directory.h"

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace iomira {

// How far a long restore or import is: a progress dialog over the window, which stays
// responsive while the table is added. Short tables show nothing.
class TableProgress {
  public:
    TableProgress(QWidget* parent, const QString& label, int total, bool shown);
    ~TableProgress();

    TableProgress(const TableProgress&) = delete;
    TableProgress& operator=(const TableProgress&) = delete;

    // The directory's progress call; empty when nothing is shown.
    ControllerDirectory::TableProgress callback();

  private:
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace iomira
