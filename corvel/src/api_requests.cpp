// The request functions: each builds its frames for an established entry and sends them.
#include "connection.h"
#include "entry_access.h"
#include "guard.h"

using namespace corvel;

namespace {

// Checks the state before anything is built, so that a refused request advances no
// sequence counter. build() returns false to refuse an argument (-4).
template <class Build> int32_t send_frames(int32_t key, int32_t* error, Build&& build) {
    return guarded(error, [&] {
        return with_entry(key, [&](DeviceEntry& entry) -> int32_t {
            if (entry.state != TCP_ESTABLISHED) return CORVEL_WRONG_STATE;
            // A request that fails for want of memory leaves the counters as they were.
            const SequenceCounters before = entry.sequence;
            std::vector<uint8_t> frames;
            int32_t code = 0;
            int32_t result;
            try {
                frames.reserve(64);
                FrameWriter writer(frames, entry.sequence, entry.unit_id);
                if (!build(writer, entry)) return CORVEL_OUT_OF_RANGE;
                result = send_request(entry, frames, code);
            } catch (...) {
                entry.sequence = before;
                throw;
            }
            if (error && result == CORVEL_SOCKET_ERROR) *error = code;
            return result;
        });
    });
}

uint16_t low16(int32_t value) {
    return static_cast<uint16_t>(value);
}
uint8_t low8(int32_t value) {
    return static_cast<uint8_t>(value);
}

} // namespace

extern "C" {

int32_t read_coils(int32_t key, int32_t quantity, int32_t* error, int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry& e) {
        w.read(choose_tag(tag, TAG_OUTPUTS), FN_READ_COILS, e.output_base, low16(quantity));
        return true;
    });
}

int32_t read_discrete_inputs(int32_t key, int32_t quantity, int32_t* error, int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry& e) {
        w.read(choose_tag(tag, TAG_INPUTS), FN_READ_DISCRETE_INPUTS, e.input_base, low16(quantity));
        return true;
    });
}

// Type 1 reads the inputs, 2 the outputs, 3 the single register four above the inputs.
int32_t holding_registers_read(int32_t key, int32_t count, int32_t type, int32_t* error,
                               int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry& e) {
        switch (type) {
        case 1:
            w.read(TAG_INPUTS, FN_READ_HOLDING_REGISTERS, e.input_base, low8(count));
            return true;
        case 2:
            w.read(choose_tag(tag, TAG_OUTPUTS), FN_READ_HOLDING_REGISTERS, e.output_base,
                   low8(count));
            return true;
        case 3:
            w.read(TAG_REGISTER, FN_READ_HOLDING_REGISTERS, low16(e.input_base + 4), low8(count));
            return true;
        default:
            return false;
        }
    });
}

int32_t input_registers_read(int32_t key, int32_t count, int32_t* error) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry& e) {
        w.read(TAG_INPUT_REGISTERS, FN_READ_INPUT_REGISTERS, e.input_base, low8(count));
        return true;
    });
}

int32_t output_port_coil_onoff(int32_t key, int32_t port, int32_t value, int32_t* error,
                               int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry& e) {
        if (static_cast<uint32_t>(port) > 7) return false;
        w.write_coil(choose_tag(tag, TAG_COIL), low16(e.output_base + port), low8(value));
        return true;
    });
}

int32_t output_port_pulse(int32_t key, int32_t port, int32_t duration_ms, int32_t value,
                          int32_t* error, int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry& e) {
        const uint16_t address = low16(e.output_base + port);
        w.output_pulse(choose_tag(tag, TAG_PULSE), address, low16(duration_ms), low8(value));
        e.values.pulse_request = {e.unit_id, FN_OUTPUT_PULSE, address, low16(duration_ms),
                                  low8(value)};
        return true;
    });
}

int32_t reset_di_statistics(int32_t key, int32_t channel, int32_t* error, int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry&) {
        if (static_cast<uint32_t>(channel) > 4) return false;
        w.write_coil(choose_tag(tag, TAG_COIL), low16(RLX_COUNTER_RESET_BASE + channel), 0xFF);
        return true;
    });
}

int32_t rlx8xx_read_all(int32_t key, int32_t family, int32_t mode, int32_t* error) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry&) {
        append_read_all(w, family, mode);
        return true;
    });
}

int32_t rlx8xx_pulse_control(int32_t key, int32_t port, int32_t* error, int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry&) {
        w.write_coil(choose_tag(tag, TAG_COIL), low16(RLX_PULSE_CONTROL_BASE + port), 0xFF);
        return true;
    });
}

int32_t rlx8xx_enable_di_change(int32_t key, int32_t port, int32_t* error, int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry&) {
        w.write_coil(choose_tag(tag, TAG_DI_CHANGE), low16(RLX_DI_CHANGE_ENABLE_BASE + port), 0xFF);
        return true;
    });
}

int32_t rlx8xx_eit_request(int32_t key, int32_t read_device_id_code, int32_t object_id,
                           int32_t* error, int32_t tag) {
    return send_frames(key, error, [&](FrameWriter& w, DeviceEntry&) {
        w.identification(choose_tag(tag, TAG_DI_CHANGE), low8(read_device_id_code),
                         low8(object_id));
        return true;
    });
}

int32_t corvel_gather_sends(int32_t key) {
    return guarded(nullptr, [&] {
        return with_entry(key, [](DeviceEntry& entry) -> int32_t {
            entry.gathering = true;
            return CORVEL_OK;
        });
    });
}

int32_t corvel_send_gathered(int32_t key, int32_t* error) {
    return guarded(error, [&] {
        return with_entry(key, [&](DeviceEntry& entry) -> int32_t {
            int32_t code = 0;
            const int32_t result = send_gathered(entry, code);
            if (error && result == CORVEL_SOCKET_ERROR) *error = code;
            return result;
        });
    });
}

} // extern "C"
