#include "received_values.h"

#include <utility>

namespace corvel {

void ReceivedValues::reset_for_new_connection() {
    ReceivedValues kept;
    kept.single_register = single_register;
    kept.coil_write = coil_write;
    kept.pulse_request = pulse_request;
    kept.pulse_response = pulse_response;
    kept.objects = std::move(objects);
    *this = std::move(kept);
}

} // namespace corvel
