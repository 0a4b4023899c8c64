#pragma once
// The management file: where the device-management protocol is answered and what each
// device reports there. A NexoltLib doing a read by address binds port 50005 on every
// address of its machine, so beside it the simulator listens on an address of its own (the
// default 127.0.0.2): on 127.0.0.1 the answers to 127.0.0.1:50005 would come back to the
// simulator's own socket.
//
//   [management]
//   listen = 127.0.0.2:50005   ; (the default) socket A's port; socket B answers on port + 2
//                              ; (port 0: two free ports); TKB-11 devices answer tkb11lib
//                              ; on socket A too
//   kestrel = 50020            ; Kestrel's port on the same address, where the RLX devices
//                              ; answer (default 50020, or a free port when listen has 0)
//   [office]                   ; a device of the device file
//   mac = 00:30:F9:00:00:01    ; default 00:30:F9:00:00:NN, NN the device's position
//   encipher = 1               ; payloads enciphered (default 0)
//   fragment_size = 512        ; > 0: replies in fragments of this many bytes
//   comment = Office door      ; default: the device name
//   password = s3cret          ; 0 or 4 to 8 characters (default: none)
//   address = 10.1.0.7/8       ; IPv4 settings reported (default: the address a request
//                              ; reached, /24)
//   answer_by_broadcast = 1    ; replies to 255.255.255.255 at the requester's port, out of
//                              ; the interface the request came in on (default 0)

#include "device_management.h"
#include "ini.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tevronsim {

struct ManagementConfig {
    std::string host = "127.0.0.2";
    std::uint16_t port = 50005;
    std::optional<std::uint16_t> kestrel_port;         // unset: the default that listen implies
    std::map<std::string, ManagementSettings> devices; // by device name
};

// Reads the file; device sections must name devices of the device file.
bool load_management_file(const std::string& path, const std::vector<std::string>& device_names,
                          ManagementConfig& out, std::string& error);
// The Kestrel port to bind: the configured one, else 50020, or 0 (any free port) when the
// device-management port is 0 too, so that tests on loopback take no fixed port.
std::uint16_t kestrel_port(const ManagementConfig& config);

bool management_from_ini(const std::vector<IniSection>& sections,
                         const std::vector<std::string>& device_names, ManagementConfig& out,
                         std::string& error);

} // namespace tevronsim
