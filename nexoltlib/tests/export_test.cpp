// The shared library exports the C interface and nothing else.
#include "nexoltlib/nexoltlib.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Exports, CallableThroughTheSharedLibrary) {
    EXPECT_EQ(crc16("123456789", 9), 0xE5CC);
    char name[32];
    EXPECT_EQ(GetProductName(104, name), 1);
    EXPECT_STREQ(name, "TKA-31P");
}

TEST(Exports, InternalSymbolsAreHidden) {
    void* self = dlopen(nullptr, RTLD_NOW);
    ASSERT_NE(self, nullptr);
    for (const char* name :
         {"crc16", "GetProductName", "unpack_data", "pack_data", "parse_env_file",
          "get_env_raw_lib_env_by_mac_addr", "memcmp_env_bin", "make_wpapsk_key"})
        EXPECT_NE(dlsym(self, name), nullptr) << name;
    // The internal building blocks (C++ names in namespace nexolt) stay inside the library.
    EXPECT_EQ(dlsym(self, "_ZN6nexolt12next_sequenceEv"), nullptr);
    dlclose(self);
}

} // namespace
