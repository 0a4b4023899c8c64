#include "app/address_resolver.h"

#include <netdb.h>
#include <netinet/in.h>

#include <memory>

namespace iomira {

void AddressResolver::resolve(const QByteArray& host,
                              std::function<void(int error, uint32_t address)> done) {
    static std::mutex lock; // lookups of different windows may overlap; one at a time is enough
    auto answer = std::make_shared<std::pair<int, uint32_t>>(0, 0);
    auto call = [host, answer] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        answer->first = getaddrinfo(host.constData(), nullptr, &hints, &found);
        if (answer->first != 0) return;
        answer->second = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
        freeaddrinfo(found);
    };
    run(lock, std::move(call),
        [answer, done = std::move(done)] { done(answer->first, answer->second); });
}

} // namespace iomira
