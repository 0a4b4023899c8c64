#pragma once

#include "core/quorvis_data.h"

#include <QString>

namespace iomira {

// What the manual page and the modify dialog let the operator type, as typed.
struct ControllerForm {
    int product = -1; // position in productChoices(); -1 while the placeholder is chosen
    int rootId = -1;  // the chosen group; -1 for none
    bool server = false;
    QString address;
    QString port;
    QString description;
    QString unitId;
    QString inputAddr;
    QString outputAddr;

    bool operator==(const ControllerForm&) const = default;
};

// The manual page's defaults and the form a registered controller fills.
ControllerForm manualFormDefaults(int rootId);
ControllerForm formOf(const CQUORVISData& record);
// The product list entry a registered controller shows (by family, and by port counts for a
// generic one); -1 when no product matches.
int productIndexOf(const CQUORVISData& record);

// The first message the manual page refuses the form with, in the order they are checked;
// empty when the form can be added.
QString manualFormError(const ControllerForm& form);
// The same checks the modify dialog makes (description, then address).
QString modifyFormError(const ControllerForm& form);

// Writes a valid form into the page's record: the product's family and ports with "DI%d" and
// "DO%d" names, the connection, the fixed values of the product.
void applyManualForm(CQUORVISData& record, const ControllerForm& form);
// Writes a valid form into a registered controller's record; true when its port counts
// changed (its window is laid out anew).
bool applyModifyForm(CQUORVISData& record, const ControllerForm& form);

} // namespace iomira
