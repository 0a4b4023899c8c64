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

TEST(Exports, FactoryOperationsNeedTheServiceAccessCode) {
    const uint8_t wrong[8] = {'0', '0', '0', '0', '0', '0', '0', '0'};
    const uint8_t mac[6] = {0x00, 0x30, 0xF9, 1, 2, 3};
    int error = 0;
    EXPECT_EQ(Nexolt_WriteMAC(wrong, mac, &error, 0, 0), -1);
    EXPECT_EQ(error, NEXOLT_ERR_ACCESS_CODE);
    error = 0;
    EXPECT_EQ(Nexolt_JLOCK(nullptr, mac, &error, 0, 0), -1);
    EXPECT_EQ(error, NEXOLT_ERR_ACCESS_CODE);
}

TEST(Exports, InternalSymbolsAreHidden) {
    void* self = dlopen(nullptr, RTLD_NOW);
    ASSERT_NE(self, nullptr);
    for (const char* name :
         {"crc16", "GetProductName", "unpack_data", "pack_data", "parse_env_file",
          "get_env_raw_lib_env_by_mac_addr", "memcmp_env_bin", "make_wpapsk_key"})
        EXPECT_NE(dlsym(self, name), nullptr) << name;
    for (const char* name : {"Start_Library",
                             "End_Library",
                             "GetLibraryVersion",
                             "Nexolt_Search2",
                             "Nexolt_Write",
                             "Nexolt_Status_ALL",
                             "Nexolt_CloseTCP6",
                             "Nexolt_WriteCRYPTO",
                             "Nexolt_JLOCK",
                             "Tevron_Search",
                             "Tevron_Status",
                             "get_tevron_info_by_index",
                             "get_tcpip6_session_info",
                             "init_lib_env",
                             "set_io_modbus_local_port",
                             "set_uart_peer_address",
                             "is_ssl",
                             "is_uart_dtrdsr",
                             "use_dad",
                             "user_mac",
                             "wlan_wpa_pp_length",
                             "get_rtu_tcp_nodelay"})
        EXPECT_NE(dlsym(self, name), nullptr) << name;
    // The internal building blocks (C++ names in namespace nexolt) stay inside the library.
    EXPECT_EQ(dlsym(self, "_ZN6nexolt12next_sequenceEv"), nullptr);
    dlclose(self);
}

} // namespace
