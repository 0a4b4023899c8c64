#pragma once

#include "core/quorvis_data.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace iomira {

inline constexpr int32_t kNoMailAccount = -1;

// The e-mail settings the dialog shows for one controller, kept apart from the widgets so that
// comparing, checking and storing them needs no window.
struct EmailSettingsForm {
    int UseEmailNotification = 0;
    std::array<int, kDigitalPorts> inputs{};
    std::array<int, kDigitalPorts> outputs{};
    int32_t mailAccountId = kNoMailAccount;
    QString mailTo;
    QString subject;
    QString content;

    // The stored values; an account id the account list does not hold shows as none.
    static EmailSettingsForm of(const CQUORVISData& controller, bool accountExists);
    bool operator==(const EmailSettingsForm&) const = default;

    // The string id of the first failed check, 0 when the values may be stored. Only a
    // ticked notification box is checked.
    int validate() const;
    // Writes the flag, and with it ticked the ports, recipients, account and texts.
    void storeInto(CQUORVISData& controller) const;
};

// Controllers edited together must have the same numbers of inputs and outputs.
bool samePortCounts(const CQUORVISData& a, const CQUORVISData& b);
// Controllers the dialog offers: those of the group with at least one input or output.
bool offersEmailSettings(const CQUORVISData& controller, int rootId);
// The distinct non-empty MailTo texts of all controllers, in the order met.
std::vector<QString> knownRecipientLists(const std::vector<const CQUORVISData*>& controllers);

} // namespace iomira
