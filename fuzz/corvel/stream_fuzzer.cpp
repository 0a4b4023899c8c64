// Feeds an arbitrary byte stream through reassembly and decoding, as one controller's
// connection would deliver it in reads of varying size.
#include <cstddef>
#include <cstdint>

#include "decoder.h"
#include "reassembler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    corvel::Reassembler reassembler;
    corvel::ReceivedValues values;
    size_t at = 0;
    // The first byte picks the read size, so splits of all kinds are explored.
    const size_t chunk = size > 0 ? (data[0] % 64) + 1 : 1;
    while (at < size) {
        const size_t end = at + chunk < size ? at + chunk : size;
        while (at < end) {
            corvel::Reassembler::Event event;
            at += reassembler.feed(data + at, end - at, event);
            if (event == corvel::Reassembler::Event::Body) {
                corvel::decode_body(reassembler.body(), reassembler.body_length(),
                                    reassembler.tag(), values);
            }
        }
    }
    return 0;
}
