#pragma once

#include <QString>

#include <array>

namespace iomira {

class CQUORVISData;

inline constexpr int kWarningTextLimit = 256;

// The fields of the "Warning message" dialog for one controller.
struct WarningForm {
    bool use = false;
    int type = 0; // 0 one pair of texts for all outputs, 1 texts per output
    QString allOn, allOff;
    std::array<bool, 8> rowUse{};
    std::array<QString, 8> rowOn, rowOff;
};

// The default questions with every row ticked and type 0 (what a group shows).
WarningForm defaultWarningForm();
// The defaults, replaced by the stored texts when the controller uses warnings; an empty
// stored text shows as the default.
WarningForm warningFormFor(const CQUORVISData& c);
// False when a text is longer than the dialog allows.
bool warningFormValid(const WarningForm& form);
// Stores the form: the switch always, the type and the texts of that type only when used.
void applyWarningForm(const WarningForm& form, CQUORVISData& c);

} // namespace iomira
