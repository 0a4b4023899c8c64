#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace iomira::smtp {

enum class AuthMechanism { Login, Plain, CramMd5, DigestMd5 };

// The first mechanism the EHLO reply offers, tried in the order LOGIN, PLAIN, CRAM-MD5,
// DIGEST-MD5 whatever order the server lists them in.
std::optional<AuthMechanism> chooseMechanism(std::string_view ehloReply);

// The PLAIN credential: login, NUL, login, NUL, password (not yet Base64).
std::string plainCredential(std::string_view login, std::string_view password);

// The decoded challenge of a "334 <Base64>" reply; empty when it is not valid Base64.
std::optional<std::string> decodeChallenge(std::string_view reply);

// "login <32 lowercase hex digits of HMAC-MD5(password, challenge)>".
std::string cramMd5Answer(std::string_view login, std::string_view password,
                          std::string_view challenge);

struct DigestChallenge {
    std::string nonce;
    std::string realm; // empty when the server names none
};

// Reads nonce and realm out of a decoded DIGEST-MD5 challenge. Throws ECSmtp 207 when the
// nonce is missing or a value is not closed by its quote.
DigestChallenge parseDigestChallenge(std::string_view challenge);

// The client's DIGEST-MD5 answer (qop "auth", nc 1, no authorisation id), not yet Base64.
std::string digestMd5Answer(std::string_view login, std::string_view password,
                            const DigestChallenge& challenge, std::string_view cnonce,
                            std::string_view digestUri);

} // namespace iomira::smtp
