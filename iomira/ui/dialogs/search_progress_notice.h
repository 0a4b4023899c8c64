#pragma once

#include <QDialog>

namespace iomira {

// "Searching for the products...": a small window over the add dialog while a search runs.
class SearchProgressNotice : public QDialog {
    Q_OBJECT
  public:
    explicit SearchProgressNotice(QWidget* over);
    // Shows the notice centred over its dialog.
    void showCentred();
};

} // namespace iomira
