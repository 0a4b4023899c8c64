#pragma once
// The device file: one INI section per simulated device, named by the section.
//
//   [office]
//   model = TKA-31            ; one of the models of models.cpp
//   listen = 127.0.0.1:5020   ; server role (port 0: any free port), or
//   connect = [::1]:5020      ; client role, connects out and retries every second
//   unit_id = 1               ; default 1, 255 for the RLX models
//   input_base = 0            ; generic models only
//   output_base = 0
//   inputs = 0x05             ; bit n: port n
//   outputs = 0b0010
//   counters = 0, 12, 100000, 0
//   analog = 0, 2048, 4095, 100
//   modes = 0, 0, 0, 0
//   errors = 0, 0, 0, 0
//   temperature = -12.3       ; RLX-840: sets the first analog value in tenths
//   pulse_flags = 0x0001      ; RLX: outputs the device pulses itself
//   pulse_ms = 500
//   change_port = 0           ; RLX: input port announced in identification object 0x83
//   input_names = Door, Window ; port descriptions reported by the device-management and
//   output_names = Siren       ; TKB-11 protocols (default DI<n>, DO<n>; 16 bytes each)

#include "device.h"
#include "ini.h"

#include <string>
#include <vector>

namespace tevronsim {

// Builds the devices; on the first error returns false with "line N: what" in error.
bool devices_from_ini(const std::vector<IniSection>& sections, std::vector<DeviceConfig>& out,
                      std::string& error);
bool load_device_file(const std::string& path, std::vector<DeviceConfig>& out, std::string& error);

// Integer in decimal, 0x hex or 0b binary, within [min, max].
bool parse_integer(const std::string& text, long min, long max, long& out);

} // namespace tevronsim
