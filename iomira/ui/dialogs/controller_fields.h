#pragma once

#include "app/controller_form.h"

#include <QWidget>

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace iomira {

class CROOTDataList;

// The group list of the add and modify dialogs: groups in position order, each item's data
// its RootID, `rootId` selected (none when it names no group).
void fillGroupList(QComboBox& list, const CROOTDataList& groups, int rootId);
int chosenGroup(const QComboBox& list);

// The connection fields the manual page and the modify dialog share: communication type,
// address, port, description, unit id and the base addresses. Only the fields the chosen
// product uses are shown.
class ControllerFields : public QWidget {
    Q_OBJECT
  public:
    explicit ControllerFields(QWidget* parent = nullptr);

    // Fills every field from the form; product and group belong to the dialog.
    void setForm(const ControllerForm& form);
    // The typed values, with product and group left as `base` has them.
    ControllerForm form(const ControllerForm& base) const;
    // Shows the fields of the product at this position of the product list (-1: all).
    void arrangeFor(int product);
    // Puts a field of the dialog's own at this row, so that all labels share one column.
    void insertRow(int row, const QString& label, QWidget* field);

  private:
    void showRow(QWidget* field, bool shown);
    void followCommunicationType();

    QFormLayout* layout_;
    QComboBox* type_;
    QLineEdit* address_;
    QLineEdit* port_;
    QLineEdit* description_;
    QLineEdit* unitId_;
    QLineEdit* inputAddr_;
    QLineEdit* outputAddr_;
};

} // namespace iomira
