// One input is everything a mail server sent in answer to one command. It is read as the client
// reads it: the reply code once the reply is complete, then the keywords of an EHLO reply and
// the challenges of the authentication exchanges.
#include "notify/smtp/smtp_reply.h"
#include "notify/smtp/smtp_auth.h"
#include "notify/smtp/smtp_error.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

// The reply arrives in pieces; the code found in a first piece must stay the code of the whole.
void checkCodeOfPieces(std::string_view received) {
    const std::optional<int> whole = iomira::smtp::completeReplyCode(received);
    if (whole && (*whole < 0 || *whole > 999)) __builtin_trap();
    for (size_t cut = 0; cut <= received.size(); cut += 1 + received.size() / 16) {
        const std::optional<int> first = iomira::smtp::completeReplyCode(received.substr(0, cut));
        if (first && first != whole) __builtin_trap();
    }
}

void readAuthentication(std::string_view received) {
    iomira::smtp::chooseMechanism(received);
    const std::optional<std::string> challenge = iomira::smtp::decodeChallenge(received);
    if (!challenge) return;
    try {
        const iomira::smtp::DigestChallenge digest = iomira::smtp::parseDigestChallenge(*challenge);
        if (digest.nonce.size() > challenge->size() || digest.realm.size() > challenge->size())
            __builtin_trap();
    } catch (const iomira::ECSmtp&) {
        // A challenge without a nonce or with an open quote is refused, never read further.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view received(reinterpret_cast<const char*>(data), size);
    checkCodeOfPieces(received);
    for (const std::string_view keyword : {"AUTH", "STARTTLS", "8BITMIME", "SIZE"})
        iomira::smtp::hasKeyword(received, keyword);
    readAuthentication(received);
    return 0;
}
