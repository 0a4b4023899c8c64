// One input is one received datagram, read as an answer to a search and to a read (its own
// sequence, so that the checks past the header run) and as a request, as the simulator does.
#include "tkb11lib/src/wire.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint16_t sequence = size >= 8 ? uint16_t((data[6] << 8) | data[7]) : 0;
    for (uint8_t opcode : {tkb11::kOpSearch, tkb11::kOpRead}) {
        auto answer = tkb11::decode_answer(data, size, {opcode, sequence, {}});
        if (answer && answer->error == 0)
            tkb11::encode_answer({opcode, sequence, {}}, 0, answer->record);
    }
    tkb11::decode_request(data, size);
    return 0;
}
