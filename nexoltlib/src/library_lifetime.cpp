// Library start and end, the default maximum of the Tevron_ layer, the version banner.
#include "device_lists.h"
#include "library_defaults.h"
#include "library_state.h"
#include "tevron_sessions.h"
#include "tevron_table.h"

#include "nexoltlib/nexoltlib.h"

#include <openssl/crypto.h>
#include <openssl/err.h>

#include <cstring>

namespace nexolt {

namespace {
int g_default_maximum = 256;
}

int default_maximum() {
    return g_default_maximum;
}

} // namespace nexolt

using namespace nexolt;

extern "C" int Start_Library(int maximum) {
    if (maximum > 0) g_default_maximum = maximum;
    clear_session_buffers();
    keep_status_text("");
    OPENSSL_init_crypto(OPENSSL_INIT_LOAD_CRYPTO_STRINGS | OPENSSL_INIT_ADD_ALL_CIPHERS |
                            OPENSSL_INIT_ADD_ALL_DIGESTS,
                        nullptr);
    return 1;
}

extern "C" void Exit_Library(void) {
    clear_device_lists();
    rebuild_tevron_table();
}

// OpenSSL 3 releases its global state at process exit, and a cleanup call now would leave
// it unusable for the rest of the process (the program's mail client uses it too); the
// error queue is what is left to clear.
extern "C" void End_Library(void) {
    Exit_Library();
    ERR_clear_error();
}

namespace {
constexpr char kBanner[] =
    "NexoltLib management library for Tevron devices, version 2.1F, built January 12, 2023";
static_assert(sizeof kBanner == 86, "callers provide 86 bytes");
} // namespace

extern "C" void GetLibraryVersion(char* text) {
    if (text) std::memcpy(text, kBanner, sizeof kBanner);
}
