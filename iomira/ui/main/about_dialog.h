#pragma once

#include <QDialog>

namespace iomira {

// The program's name and version, with an OK button.
class CAboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};

// "Iomira 2.1C": the first two words of the program's title.
QString productNameAndVersion();

} // namespace iomira
