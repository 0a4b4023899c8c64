// One input is one received datagram, read as a search answer (and turned into the texts the
// calls hand out), as a settings answer and as a request, each with its own sequence so that
// the checks past the header run.
#include "kestrel/src/found_device.h"
#include "kestrel/src/wire.h"

#include "kestrel/kestrel.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint16_t sequence = size >= 8 ? uint16_t((data[6] << 8) | data[7]) : 0;
    if (auto found = kestrel::decode_search_answer(data, size, sequence)) {
        char16_t text[KESTREL_TEXT_SIZE];
        kestrel::copy_text(kestrel::information_text(*found), text, KESTREL_TEXT_SIZE);
        kestrel::copy_text(found->model, text, KESTREL_TEXT_SIZE);
    }
    if (auto settings = kestrel::decode_settings_answer(data, size, sequence))
        kestrel::dotted(settings->host_address);
    kestrel::decode_request(data, size);
    return 0;
}
