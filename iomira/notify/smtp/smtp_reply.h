#pragma once

#include <optional>
#include <string_view>

namespace iomira::smtp {

// The code of a complete server reply: the first line ended by CR LF that is a final line
// ("250 text" or a bare "250"). Continuation lines ("250-...") and anything else that does
// not look like a final line are passed over. Empty while the reply is still incomplete.
std::optional<int> completeReplyCode(std::string_view received);

// True when the reply offers `keyword` (any case): not at the very start, preceded by a space,
// "-" or "=", and followed by a space, "=" or CR LF. "250-AUTH=LOGIN" offers AUTH and LOGIN.
bool hasKeyword(std::string_view reply, std::string_view keyword);

} // namespace iomira::smtp
