#pragma once

#include <QDialog>

class QLineEdit;

namespace iomira {

// Asks for the name of a new group; an empty name is refused and the dialog stays open.
class CAddRoot : public QDialog {
    Q_OBJECT
  public:
    explicit CAddRoot(QWidget* parent = nullptr);
    QString name() const;
    void accept() override;

    // Runs the dialog; true with the entered name on OK.
    static bool ask(QWidget* parent, QString& name);

  private:
    QLineEdit* edit_;
};

} // namespace iomira
