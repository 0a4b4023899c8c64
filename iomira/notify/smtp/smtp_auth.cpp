#include "notify/smtp/smtp_auth.h"

#include "notify/smtp/smtp_encoding.h"
#include "notify/smtp/smtp_error.h"
#include "notify/smtp/smtp_reply.h"

namespace iomira::smtp {
namespace {

constexpr std::string_view kNc = "00000001";
constexpr std::string_view kQop = "auth";

// The quoted value after `name="`; nullopt when the name is absent. A value without its
// closing quote cannot be trusted.
std::optional<std::string> quotedValue(std::string_view challenge, std::string_view name) {
    const std::string key = std::string(name) + "=\"";
    const size_t at = challenge.find(key);
    if (at == std::string_view::npos) return std::nullopt;
    const size_t start = at + key.size();
    const size_t end = challenge.find('"', start);
    if (end == std::string_view::npos) throw ECSmtp(SMTP_BAD_DIGEST_RESPONSE);
    return std::string(challenge.substr(start, end - start));
}

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (const std::string_view part : parts) {
        if (!out.empty()) out += ':';
        out += part;
    }
    return out;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

std::optional<AuthMechanism> chooseMechanism(std::string_view ehloReply) {
    if (hasKeyword(ehloReply, "LOGIN")) return AuthMechanism::Login;
    if (hasKeyword(ehloReply, "PLAIN")) return AuthMechanism::Plain;
    if (hasKeyword(ehloReply, "CRAM-MD5")) return AuthMechanism::CramMd5;
    if (hasKeyword(ehloReply, "DIGEST-MD5")) return AuthMechanism::DigestMd5;
    return std::nullopt;
}

std::string plainCredential(std::string_view login, std::string_view password) {
    std::string credential(login);
    credential += '\0';
    credential += login;
    credential += '\0';
    credential += password;
    return credential;
}

std::optional<std::string> decodeChallenge(std::string_view reply) {
    return base64Decode(reply.size() > 4 ? reply.substr(4) : std::string_view());
}

std::string cramMd5Answer(std::string_view login, std::string_view password,
                          std::string_view challenge) {
    return std::string(login) + " " + toHex(hmacMd5(password, challenge));
}

DigestChallenge parseDigestChallenge(std::string_view challenge) {
    auto nonce = quotedValue(challenge, "nonce");
    if (!nonce) throw ECSmtp(SMTP_BAD_DIGEST_RESPONSE);
    auto realm = quotedValue(challenge, "realm");
    return DigestChallenge{std::move(*nonce), realm ? std::move(*realm) : std::string()};
}

std::string digestMd5Answer(std::string_view login, std::string_view password,
                            const DigestChallenge& challenge, std::string_view cnonce,
                            std::string_view digestUri) {
    const std::string secret = md5(joined({login, challenge.realm, password}));
    const std::string ha1 = toHex(md5(joined({secret, challenge.nonce, cnonce})));
    const std::string ha2 = toHex(md5("AUTHENTICATE:" + std::string(digestUri)));
    const std::string response = toHex(md5(joined({ha1, challenge.nonce, kNc, cnonce, kQop, ha2})));

    std::string answer = "charset=utf-8,username=" + quoted(login);
    if (!challenge.realm.empty()) answer += ",realm=" + quoted(challenge.realm);
    answer += ",nonce=" + quoted(challenge.nonce);
    answer += ",nc=" + std::string(kNc);
    answer += ",cnonce=" + quoted(cnonce);
    answer += ",digest-uri=" + quoted(digestUri);
    answer += ",response=" + response;
    answer += ",qop=" + std::string(kQop);
    return answer;
}

} // namespace iomira::smtp
