// One input is one received datagram: it goes through reply intake (validation, reassembly,
// deciphering, decoding, device lists), and its payload through the decoder and the block
// comparison on its own.
#include "nexoltlib/src/device_lists.h"
#include "nexoltlib/src/reassembly.h"
#include "nexoltlib/src/reply_intake.h"

#include "nexoltlib/nexoltlib.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static unsigned inputs = 0;
    // Keep state across a few inputs so reassembly sees fragment sequences, but bounded.
    if (++inputs % 64 == 0) {
        nexolt::reassembly_table().clear();
        nexolt::clear_device_lists();
    }
    nexolt::IntakeContext context;
    context.broadcast_search = (size > 0 && data[0] & 1);
    context.max_results = 4;
    context.target = 0x0100007F;
    nexolt::take_reply(context, data, size, {0x0100007F, 50005}, {"127.0.0.1", 1});

    if (size > 32) {
        lib_env env;
        unpack_data(data + 32, &env, int(size - 32));
        get_uart_count_from_raw_buf(data + 32, int(size - 32));
        std::vector<char> text(NEXOLT_COMPARE_TEXT_SIZE);
        std::vector<uint8_t> copy(data + 32, data + size);
        memcmp_env_bin(16, data + 32, copy.data(), int(copy.size()), text.data());
    }
    return 0;
}
