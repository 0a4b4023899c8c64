#pragma once
// One device as the device-management protocol sees it: the settings blocks it reports
// (changed by writes), its password, its TCP sessions, and the fragments of a write still
// being collected.

#include "device_management.h"

#include <netinet/in.h>

#include <map>
#include <set>
#include <string>
#include <utility>

namespace tevronsim {

// What one request did to one device: the datagrams to send back and the JSON members
// that describe the exchange for the request log.
struct ManagementOutcome {
    bool addressed = false; // false: the request was not for this device
    std::vector<Datagram> replies;
    std::string log;
};

using Blocks = std::vector<std::uint8_t>;

class ManagedDevice {
  public:
    ManagedDevice(std::string name, ManagementSettings settings)
        : name_(std::move(name)), settings_(std::move(settings)) {}

    const std::string& name() const { return name_; }
    const ManagementSettings& settings() const { return settings_; }

    // config is the device as it runs now; own_address the address the request reached;
    // peer the requester.
    ManagementOutcome handle(const DeviceConfig& config, std::span<const std::uint8_t> datagram,
                             std::uint32_t own_address, const sockaddr_in& peer);

  private:
    struct Request {
        nexolt::FrameHeader header;
        Blocks payload; // plaintext
        const sockaddr_in* peer;
    };
    // The answer: a reply status and the payload to send with it.
    struct Answer {
        std::uint8_t status = 0;
        Blocks payload;
        std::string note; // for the log
    };

    void ensure_blocks(const DeviceConfig& config, std::uint32_t own_address);
    // The library sends each request twice: a repeat gets the first answer again and is
    // not carried out a second time.
    const Answer* repeated(const Request& request) const;
    void remember(const Request& request, const Answer& answer);
    bool for_me(const nexolt::FrameHeader& header) const;
    // A fragment of a write: false while the payload is still incomplete.
    bool collect(Request& request, std::string& note);
    Answer dispatch(const DeviceConfig& config, const Request& request);
    Answer write(const Blocks& payload);
    Answer change_password(const Blocks& payload);
    Answer status(const DeviceConfig& config, const Request& request);
    Answer close_session(const Blocks& payload);
    Answer control(const Blocks& payload);
    Answer write_certificates(const Blocks& payload);
    Answer read_certificate() const;
    bool password_ok(const Blocks& payload) const;
    void show_password();

    std::string name_;
    ManagementSettings settings_;
    Blocks blocks_;
    std::map<std::pair<std::uint64_t, std::uint16_t>, Blocks> fragments_; // by peer, sequence
    std::set<std::string> closed_;                                        // session names
    int reboots_ = 0;
    Blocks certificate_; // DER, as the last certificate write gave it
    struct Done {
        std::uint64_t peer;
        std::uint16_t sequence;
        std::uint8_t command;
        Answer answer;
    };
    std::vector<Done> done_; // the last few requests carried out
};

} // namespace tevronsim
