/* NexoltLib: finds the maker's devices on the local IPv4 network over the UDP
 * device-management protocol (local ports 50005 and 50007) and reads their settings record.
 *
 * The library keeps process-wide state (interface table, reassembly slots, three device
 * lists) and takes no locks: run one operation at a time. Records and buffers handed in are
 * owned by the caller. Every multi-byte field of the wire formats and of lib_env is
 * little-endian, except IPv4 addresses, which are in network byte order.
 */
#ifndef NEXOLTLIB_NEXOLTLIB_H
#define NEXOLTLIB_NEXOLTLIB_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define NEXOLT_API __declspec(dllexport)
#else
#define NEXOLT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Protocol constants. */
enum {
    NEXOLT_PORT_A = 50005,
    NEXOLT_PORT_B = 50007,
    NEXOLT_MAX_PAYLOAD = 10000,
    NEXOLT_HEADER_SIZE = 32,
    NEXOLT_MAX_UART = 48
};

/* Error codes of the library (positive values are errno numbers). */
enum {
    NEXOLT_ERR_PASSWORD = -100,     /* the device refused the password */
    NEXOLT_ERR_NO_REPLY = -200,     /* no matching reply in time */
    NEXOLT_ERR_ADDRESS = -300,      /* local IPv4 address invalid for the mask */
    NEXOLT_ERR_MASK = -301,         /* subnet mask not contiguous */
    NEXOLT_ERR_MACRO = -400,        /* an I/O macro does not parse */
    NEXOLT_ERR_BASE_OVERLAP = -500, /* input and output base addresses overlap */
    NEXOLT_ERR_PORT_TWICE = -600,   /* -600 to -605: the listening-port conflicts */
    NEXOLT_ERR_PORT_TELNET = -601,
    NEXOLT_ERR_PORT_MODBUS = -602,
    NEXOLT_ERR_PORT_HTTP = -603,
    NEXOLT_ERR_PORT_50005 = -604,
    NEXOLT_ERR_PORT_50006 = -605,
    NEXOLT_ERR_PRODUCT = -700,       /* the device reports a product id mismatch */
    NEXOLT_ERR_UNKNOWN_REPLY = -800, /* reply status the library does not know */
    NEXOLT_ERR_NO_DEVICE = -900,     /* the device is not in the chosen device list */
    NEXOLT_ERR_NO_INTERFACE = -903,  /* no usable local interface */
    NEXOLT_ERR_REFUSED_4 = -904,     /* device refusals with status 4, 5 and 1 */
    NEXOLT_ERR_PASSWORD_LENGTH = -905,
    NEXOLT_ERR_REFUSED_5 = -906,
    NEXOLT_ERR_REFUSED_1 = -907,
    NEXOLT_ERR_ACCESS_CODE = -908,    /* wrong service access code (factory operations) */
    NEXOLT_ERR_NO_CERTIFICATE = -909, /* the device sent no certificate */
    /* the WPA passphrase is longer than the device takes (32 or 64 characters) */
    NEXOLT_ERR_PASSPHRASE_LENGTH = -910,
    NEXOLT_ERR_ARGUMENT = -920 /* a required argument is missing or out of range */
};

/* ---- The lib_env settings record (9408 bytes) ---------------------------------------- */

/* Hardware settings of one serial port (block 16/20). */
typedef struct nexolt_uart_dev {
    uint32_t word; /* max_stype, stype, databit, stopbit, parity, flowctrl, ... dtrdsr */
    uint32_t max_baud;
    uint32_t sio_baud;
} nexolt_uart_dev;

/* Network settings of one serial port (block 32/44). */
typedef struct nexolt_uart_var {
    uint32_t local_ip;
    uint32_t peer_ip;
    uint16_t local_port;
    uint16_t peer_port;
    uint8_t mux_type; /* 0 T2S, 1 ATC, 2 COD, 3 U2S, 4 MODBUS */
    uint8_t flags;    /* bit 0 no_delay, bit 1 cod_listen, bits 2-3 secure */
    uint16_t water_mark;
    uint16_t time_mark;
    uint16_t timeout;
} nexolt_uart_var;

/* One serial port section: 140 bytes. */
typedef struct nexolt_uart_section {
    nexolt_uart_dev dev;
    nexolt_uart_var var;
    uint8_t separator[4];
    uint16_t separator_word; /* length bits 0-2, max kind bits 8-11, send rule bits 12-15 */
    uint8_t reserved_38[2];
    char peer_host[64];
    char description[32];
    uint32_t exists;
} nexolt_uart_section;

/* I/O settings of an I/O controller (block 37): 56 bytes. */
typedef struct nexolt_io_settings {
    uint32_t flags; /* modbus, macro, master, active, notify, conns, emacro, query, ctrl, ... */
    uint32_t peer_ip;
    uint16_t peer_port;
    uint16_t slave_id;
    uint16_t input_addr;
    uint16_t output_addr;
    uint32_t init_output;
    uint32_t poll_interval;
    uint16_t input_valid_time[8];
    uint16_t output_delay[8];
} nexolt_io_settings;

enum {
    NEXOLT_IO_MODBUS = 1u << 0,
    NEXOLT_IO_MACRO = 1u << 1,
    NEXOLT_IO_MASTER = 1u << 2,
    NEXOLT_IO_ACTIVE = 1u << 3,
    NEXOLT_IO_NOTIFY = 1u << 4
};

/* The I/O controller area of the record (offset 7992, 640 bytes). */
typedef struct nexolt_io_area {
    uint8_t input_count;
    uint8_t output_count;
    uint16_t html_size_kb;
    char macro[8][32];
    char modbus_peer_host[64];
    char input_description[8][16];
    char output_description[8][16];
    nexolt_io_settings settings;
    uint32_t is_io;
} nexolt_io_area;

/* Option word bits (block 5). */
enum {
    NEXOLT_OPT_NXCFG_LOCK = 1u << 0,
    NEXOLT_OPT_RCFG = 1u << 1,
    NEXOLT_OPT_ARP = 1u << 2,
    NEXOLT_OPT_DHCP = 1u << 3,
    NEXOLT_OPT_PPPOE = 1u << 4,
    NEXOLT_OPT_AUTO_NS = 1u << 5,
    NEXOLT_OPT_NXCFG_RO = 1u << 6,
    NEXOLT_OPT_WLAN = 1u << 7,
    NEXOLT_OPT_IP6 = 1u << 8,
    NEXOLT_OPT_DEBUG = 1u << 16,
    NEXOLT_OPT_TELNET = 1u << 17,
    NEXOLT_OPT_SSL = 1u << 18,
    NEXOLT_OPT_SSH = 1u << 19,
    NEXOLT_OPT_HTTP = 1u << 20,
    NEXOLT_OPT_DDNS_SHIFT = 21,
    NEXOLT_OPT_T2SMC = 1u << 24,
    NEXOLT_OPT_SECURE = 1u << 25,
    NEXOLT_OPT_MAC_ID = 1u << 26,
    NEXOLT_OPT_PS = 1u << 27,
    NEXOLT_OPT_PD = 1u << 28
};

/* Serial port modes (mux_type). */
enum {
    NEXOLT_MUX_T2S = 0,
    NEXOLT_MUX_ATC = 1,
    NEXOLT_MUX_COD = 2,
    NEXOLT_MUX_U2S = 3,
    NEXOLT_MUX_MODBUS = 4
};

typedef struct lib_env {
    uint8_t mac[6];
    uint8_t secure[6];
    uint16_t firmware_major;
    uint16_t firmware_minor_rev; /* minor * 256 + revision */
    uint32_t ip4_address;
    uint32_t ip4_mask;
    uint32_t ip4_gateway;
    uint8_t pppoe[48];
    uint32_t device_address; /* source address of the last reply */
    uint32_t ip4_dns;
    uint16_t product_code;
    uint16_t product_id;
    uint8_t ddns[48];
    char ddns_host[64];
    /* The user-defined MAC block (factory MAC, 2 bytes, user MAC, 2 bytes). */
    uint8_t user_mac[16];
    uint8_t reserved_216[16];
    uint8_t ip6_address[16];
    uint16_t ip6_prefix;
    uint8_t reserved_250[2];
    uint8_t ip6_gateway[16];
    uint8_t ip6_dns[16];
    uint8_t ip6_modbus_peer[16];
    uint8_t ip6_uart_peer[NEXOLT_MAX_UART][16];
    nexolt_uart_section uart[NEXOLT_MAX_UART];
    uint32_t options;
    uint8_t allowed_mac[6];
    uint8_t reserved_7798[2];
    uint32_t allowed_ip4_address;
    uint32_t allowed_ip4_mask;
    char comment[64];
    uint8_t password[10];
    uint8_t new_password[10];
    uint8_t allowed_ip6[20];
    char product_name[16];
    char email_address[64];
    nexolt_io_area io;
    uint8_t ip_notification[12];
    uint16_t port_map[5]; /* HTTP port, then reserved */
    uint8_t reserved_8654[2];
    uint32_t wlan_options;
    char ssid[32];
    uint8_t wep64[20];
    uint8_t wep128[52];
    char wpa_passphrase[64];
    uint8_t wpa_psk[32];
    uint8_t wlan_power[16];
    uint8_t reserved_8876[3];
    uint8_t wep_key_form;
    uint8_t eap[48];
    uint32_t is_wlan;
    /* PLM-40 and RTU area: (41,0) 12 @0, (41,1) 1 @12, (41,2) 16 @16, (41,3) 20 @32,
     * (41,4) 2 @52, (41,5) 216 @56, (35,64) @272, (35,65) @336, RTU serial (16,0) @400. */
    uint8_t plm[412];
    uint32_t link_quality[8]; /* interval, max, min, good, bad, up, down, init */
    uint8_t email_options[12];
    uint32_t email_input_mask;
    uint32_t email_output_mask;
    uint16_t tune[5]; /* keep-alive, disconnect, retransmission, delayed-ACK, Nagle */
    uint8_t reserved_9406[2];
} lib_env;

/* Offsets inside the PLM-40 and RTU area. */
enum {
    NEXOLT_PLM_SERIAL = 0,
    NEXOLT_PLM_MUX = 12,
    NEXOLT_PLM_ID = 16,
    NEXOLT_PLM_PEERS = 32,
    NEXOLT_PLM_CHECK_PORT = 52,
    NEXOLT_PLM_RTU_VARS = 56,
    NEXOLT_PLM_HOST1 = 272,
    NEXOLT_PLM_HOST2 = 336,
    NEXOLT_PLM_RTU_SERIAL = 400
};

#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L)
#ifdef __cplusplus
#define NEXOLT_STATIC_ASSERT(c, m) static_assert(c, m)
#else
#define NEXOLT_STATIC_ASSERT(c, m) _Static_assert(c, m)
#endif
#define NEXOLT_AT(type, field, off) NEXOLT_STATIC_ASSERT(offsetof(type, field) == off, #field)
NEXOLT_STATIC_ASSERT(sizeof(nexolt_uart_dev) == 12, "uart dev");
NEXOLT_STATIC_ASSERT(sizeof(nexolt_uart_var) == 20, "uart var");
NEXOLT_AT(nexolt_uart_var, local_port, 8);
NEXOLT_AT(nexolt_uart_var, mux_type, 12);
NEXOLT_AT(nexolt_uart_var, water_mark, 14);
NEXOLT_AT(nexolt_uart_var, timeout, 18);
NEXOLT_STATIC_ASSERT(sizeof(nexolt_uart_section) == 140, "uart section");
NEXOLT_AT(nexolt_uart_section, var, 12);
NEXOLT_AT(nexolt_uart_section, separator, 32);
NEXOLT_AT(nexolt_uart_section, peer_host, 40);
NEXOLT_AT(nexolt_uart_section, description, 104);
NEXOLT_AT(nexolt_uart_section, exists, 136);
NEXOLT_STATIC_ASSERT(sizeof(nexolt_io_settings) == 56, "io settings");
NEXOLT_AT(nexolt_io_settings, peer_port, 8);
NEXOLT_AT(nexolt_io_settings, slave_id, 10);
NEXOLT_AT(nexolt_io_settings, input_addr, 12);
NEXOLT_AT(nexolt_io_settings, output_addr, 14);
NEXOLT_AT(nexolt_io_settings, init_output, 16);
NEXOLT_AT(nexolt_io_settings, poll_interval, 20);
NEXOLT_AT(nexolt_io_settings, input_valid_time, 24);
NEXOLT_AT(nexolt_io_settings, output_delay, 40);
NEXOLT_STATIC_ASSERT(sizeof(nexolt_io_area) == 640, "io area");
NEXOLT_STATIC_ASSERT(sizeof(lib_env) == 9408, "lib_env");
NEXOLT_AT(lib_env, secure, 6);
NEXOLT_AT(lib_env, firmware_major, 12);
NEXOLT_AT(lib_env, firmware_minor_rev, 14);
NEXOLT_AT(lib_env, ip4_address, 16);
NEXOLT_AT(lib_env, ip4_mask, 20);
NEXOLT_AT(lib_env, ip4_gateway, 24);
NEXOLT_AT(lib_env, pppoe, 28);
NEXOLT_AT(lib_env, device_address, 76);
NEXOLT_AT(lib_env, ip4_dns, 80);
NEXOLT_AT(lib_env, product_code, 84);
NEXOLT_AT(lib_env, product_id, 86);
NEXOLT_AT(lib_env, ddns, 88);
NEXOLT_AT(lib_env, ddns_host, 136);
NEXOLT_AT(lib_env, ip6_address, 232);
NEXOLT_AT(lib_env, ip6_prefix, 248);
NEXOLT_AT(lib_env, ip6_gateway, 252);
NEXOLT_AT(lib_env, ip6_dns, 268);
NEXOLT_AT(lib_env, ip6_modbus_peer, 284);
NEXOLT_AT(lib_env, ip6_uart_peer, 300);
NEXOLT_AT(lib_env, uart, 1068);
NEXOLT_AT(lib_env, options, 7788);
NEXOLT_AT(lib_env, allowed_mac, 7792);
NEXOLT_AT(lib_env, allowed_ip4_address, 7800);
NEXOLT_AT(lib_env, comment, 7808);
NEXOLT_AT(lib_env, password, 7872);
NEXOLT_AT(lib_env, new_password, 7882);
NEXOLT_AT(lib_env, allowed_ip6, 7892);
NEXOLT_AT(lib_env, product_name, 7912);
NEXOLT_AT(lib_env, email_address, 7928);
NEXOLT_AT(lib_env, io.input_count, 7992);
NEXOLT_AT(lib_env, io.output_count, 7993);
NEXOLT_AT(lib_env, io.html_size_kb, 7994);
NEXOLT_AT(lib_env, io.macro, 7996);
NEXOLT_AT(lib_env, io.modbus_peer_host, 8252);
NEXOLT_AT(lib_env, io.input_description, 8316);
NEXOLT_AT(lib_env, io.output_description, 8444);
NEXOLT_AT(lib_env, io.settings, 8572);
NEXOLT_AT(lib_env, io.is_io, 8628);
NEXOLT_AT(lib_env, ip_notification, 8632);
NEXOLT_AT(lib_env, port_map, 8644);
NEXOLT_AT(lib_env, wlan_options, 8656);
NEXOLT_AT(lib_env, ssid, 8660);
NEXOLT_AT(lib_env, wep64, 8692);
NEXOLT_AT(lib_env, wep128, 8712);
NEXOLT_AT(lib_env, wpa_passphrase, 8764);
NEXOLT_AT(lib_env, wpa_psk, 8828);
NEXOLT_AT(lib_env, wlan_power, 8860);
NEXOLT_AT(lib_env, wep_key_form, 8879);
NEXOLT_AT(lib_env, eap, 8880);
NEXOLT_AT(lib_env, is_wlan, 8928);
NEXOLT_AT(lib_env, plm, 8932);
NEXOLT_AT(lib_env, link_quality, 9344);
NEXOLT_AT(lib_env, email_options, 9376);
NEXOLT_AT(lib_env, email_input_mask, 9388);
NEXOLT_AT(lib_env, email_output_mask, 9392);
NEXOLT_AT(lib_env, tune, 9396);
#undef NEXOLT_AT
#endif

/* ---- CRC-16, products, checks, cipher ------------------------------------------------ */

/* CRC-16 (polynomial 0x1021, initial value 0x1D0F, no reflection, no final XOR). */
NEXOLT_API uint16_t crc16(const void* data, int length);

/* Write the product's name (callers provide 32 bytes); 1, or "UNKNOWN" and -1. */
NEXOLT_API int GetProductName(int product_id, char* text);
NEXOLT_API int get_product_name(int product_id, char* text);

/* 0 when the eight I/O macros are valid, else the number (1 to 8) of the first bad one. */
NEXOLT_API int check_script_syntax(const nexolt_io_area* io);
/* 0, or -2 to -7 for a listening-port conflict in the record. */
NEXOLT_API int check_tcp_port(const lib_env* env);
/* 1 when address and mask (network byte order) make a valid host address, else 0. */
NEXOLT_API int check_local_ip(uint32_t address, uint32_t mask);
/* 0 when all ten bytes of the password field are zero. */
NEXOLT_API int passwd_blank_check(const uint8_t* password);

/* Payload cipher under the given payload CRC; in and out may be the same buffer. */
NEXOLT_API void rc4_crypt_data(uint16_t crc, const uint8_t* data, int length, uint8_t* out);
/* 32-byte WPA pre-shared key from a passphrase and SSID (both NUL-terminated). */
NEXOLT_API void make_wpapsk_key(uint8_t* key, const char* passphrase, const char* ssid);

/* ---- The settings record ------------------------------------------------------------- */

/* Decode a block sequence into a fresh record: 1 when every block passed its checks. */
NEXOLT_API int unpack_data(const uint8_t* blocks, lib_env* env, int length);
/* Encode a record into blocks; out must hold NEXOLT_MAX_PAYLOAD bytes. 1, or 0 when the
 * blocks would not fit, a wireless record's WPA passphrase beyond wpa_limit characters
 * included. The record's derived fields (PSK, power table, baud) are updated. */
NEXOLT_API int pack_data(uint8_t* out, int wpa_limit, int reserved1, int wpa_pp64_only, int ip6,
                         int rsn, int email_notification, int reserved2, int tune, lib_env* env,
                         int* length);
NEXOLT_API void copy_lib_env(lib_env* destination, const lib_env* source);
/* Number of serial ports present in a block sequence, -1 when it does not decode. */
NEXOLT_API int get_uart_count_from_raw_buf(const uint8_t* blocks, int length);

/* ---- Device lists -------------------------------------------------------------------- */

/* Cached record of the device (first 6 bytes: MAC) in list 0, 1 or 2, or NULL. */
NEXOLT_API lib_env* get_env_raw_lib_env_by_mac_addr(int list, const void* device, int* decoded);
/* Cached raw env (deciphered payload) of the device, or NULL. */
NEXOLT_API const uint8_t* get_raw_data_buffer(int list, const void* device, int* length);
/* Forget every device of the three lists. */
NEXOLT_API void Exit_Library(void);

/* ---- Library lifetime and operations -------------------------------------------------
 * Every operation returns 1, or -1 with a NEXOLT_ERR_ code or an errno value in *error.
 * mode / list: 0 broadcast (device list 0), 1 unicast to one IPv4 address (device list 1).
 * Addresses are IPv4 in network byte order; port 0 means 50005 for socket A and 50007 for
 * socket B; local 0 uses every interface; maximum is the number of replies kept (and the
 * number of records a search buffer holds). Passwords are 10-byte NUL-padded fields. */

NEXOLT_API int Start_Library(int maximum);
NEXOLT_API void End_Library(void);
/* Copies the version banner (86 bytes with its terminator). */
NEXOLT_API void GetLibraryVersion(char* text);

NEXOLT_API int Nexolt_Search(int mode, uint32_t address, lib_env* results, int* count, int* error,
                             uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_Search2(int mode, uint32_t address, lib_env* results, int* count, int* error,
                              int wait_ms, uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_Read(int mode, const uint8_t* mac, uint32_t address, lib_env* record,
                           int* error, uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_Read2(int mode, const uint8_t* mac, uint32_t address, lib_env* record,
                            int* error, int wait_ms, uint16_t port, uint32_t local, int maximum);
/* Writes the record (merged into the device's last reported settings); on success the
 * record holds what the device answered. Write2 sends the record's own blocks only. A
 * wireless record whose WPA passphrase is longer than the device takes is refused with
 * NEXOLT_ERR_PASSPHRASE_LENGTH before anything is sent (as is WriteUserDefinedMAC). */
NEXOLT_API int Nexolt_Write(int list, lib_env* record, const uint8_t* password, int* error,
                            uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_Write2(int list, lib_env* record, const uint8_t* password, int* error,
                             uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_WriteBIN(int list, lib_env* record, const uint8_t* blocks, int length,
                               int* error, uint16_t port, uint32_t local, int maximum);
/* new_mac NULL removes the user-defined MAC. */
NEXOLT_API int Nexolt_WriteUserDefinedMAC(int list, lib_env* record, const uint8_t* new_mac,
                                          const uint8_t* password, int* error, uint16_t port,
                                          uint32_t local, int maximum);
NEXOLT_API int Nexolt_ChangePwd(int list, lib_env* record, const uint8_t* old_password,
                                const uint8_t* new_password, int* error, uint16_t port,
                                uint32_t local, int maximum);

/* TCP sessions as the device reports them. */
enum { NEXOLT_SESSION4_SIZE = 24, NEXOLT_SESSION6_SIZE = 48, NEXOLT_MAX_SESSIONS = 48 };
/* sessions: room for 48 entries of 24 bytes (1152); text: text_size bytes. */
NEXOLT_API int Nexolt_Status(int list, lib_env* record, char* text, int text_size,
                             uint8_t* sessions, int* session_count, int* error, uint16_t port,
                             uint32_t local, int maximum);
/* As Nexolt_Status, plus the IPv6 sessions (48 entries of 48 bytes). */
NEXOLT_API int Nexolt_Status_ALL(int list, lib_env* record, char* text, int text_size,
                                 uint8_t* sessions4, int* count4, uint8_t* sessions6, int* count6,
                                 int* error, uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_CloseTCP(int list, lib_env* record, const uint8_t* session,
                               const uint8_t* password, int* error, uint16_t port, uint32_t local,
                               int maximum);
NEXOLT_API int Nexolt_CloseTCP6(int list, lib_env* record, const uint8_t* session,
                                const uint8_t* password, int* error, uint16_t port, uint32_t local,
                                int maximum);

/* Device control. ApplyUART applies the settings of the listed serial ports at once. */
NEXOLT_API int Nexolt_ApplyUART(int list, lib_env* record, const int* ports, int port_count,
                                int* error, uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_DAD(int list, lib_env* record, int* error, uint16_t port, uint32_t local,
                          int maximum);
NEXOLT_API int Nexolt_RdbOnOff(int list, lib_env* record, int on, uint32_t value, int* error,
                               uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_ReBoot(int list, lib_env* record, int* error, uint16_t port, uint32_t local,
                             int maximum);
NEXOLT_API int Nexolt_PDB(int list, lib_env* record, const char* host, const char* data, int* error,
                          uint16_t port, uint32_t local, int maximum);
NEXOLT_API int Nexolt_ReadCert(int mode, const uint8_t* mac, uint32_t address, int* error,
                               uint16_t port, uint32_t local, int maximum);
/* Four certificate items (certificate DER, RSA primes, DSA parameters, reserved). */
NEXOLT_API int Nexolt_WriteCRYPTO(int list, lib_env* record, const uint8_t* const items[4],
                                  const int lengths[4], int* error, uint16_t port, uint32_t local,
                                  int maximum);
/* Factory operations, guarded by an 8-byte service access code. */
NEXOLT_API int Nexolt_WriteMAC(const uint8_t* access_code, const uint8_t* new_mac, int* error,
                               uint16_t port, uint32_t local);
NEXOLT_API int Nexolt_JLOCK(const uint8_t* access_code, const uint8_t* mac, int* error,
                            uint16_t port, uint32_t local);

/* ---- The Tevron_ layer: devices named by their table entry (first 6 bytes: MAC) ------- */

typedef struct tevron_info {
    uint8_t mac[6];
    char address[1025]; /* dotted text */
    char comment[65];
    int32_t decoded; /* 1 when the device's settings decoded */
    char product_name[32];
    int32_t list;
    int32_t port; /* UDP source port of the device's reply */
} tevron_info;

#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L)
NEXOLT_STATIC_ASSERT(sizeof(tevron_info) == 1140, "tevron_info");
NEXOLT_STATIC_ASSERT(offsetof(tevron_info, address) == 6, "address");
NEXOLT_STATIC_ASSERT(offsetof(tevron_info, comment) == 1031, "comment");
NEXOLT_STATIC_ASSERT(offsetof(tevron_info, decoded) == 1096, "decoded");
NEXOLT_STATIC_ASSERT(offsetof(tevron_info, product_name) == 1100, "product_name");
NEXOLT_STATIC_ASSERT(offsetof(tevron_info, list) == 1132, "list");
NEXOLT_STATIC_ASSERT(offsetof(tevron_info, port) == 1136, "port");
#endif

NEXOLT_API int get_tevron_count(void);
NEXOLT_API int get_tevron_info_by_index(int index, tevron_info* info);

/* Passwords are texts of 0 or 4 to 8 characters (-905 otherwise). */
NEXOLT_API int Tevron_Search(uint16_t port, int* error);
NEXOLT_API int Tevron_Read(int mode, const uint8_t* mac, const char* host, uint16_t port,
                           int* error);
NEXOLT_API int Tevron_Write(const void* device, const char* password, uint16_t port, int* error);
NEXOLT_API int Tevron_ChangePassword(const void* device, const char* old_password,
                                     const char* new_password, uint16_t port, int* error);
NEXOLT_API int Tevron_Status(const void* device, uint16_t port, int* error);
NEXOLT_API int get_tcpip4_session_count(void);
NEXOLT_API int get_tcpip4_session_info(int index, char* text);
NEXOLT_API int get_tcpip6_session_count(void);
NEXOLT_API int get_tcpip6_session_info(int index, char* text);
NEXOLT_API int Tevron_CloseTcpIp4(const void* device, int index, const char* password, int* error);
NEXOLT_API int Tevron_CloseTcpIp6(const void* device, int index, const char* password, int* error);
NEXOLT_API int Tevron_Initialize(const void* device, const char* password, uint16_t port,
                                 int* error);
NEXOLT_API int Tevron_FactoryInit(const void* device, int product_id, uint16_t port, int* error);
NEXOLT_API int Tevron_ReadCert(const void* device, uint16_t port, int* error);
NEXOLT_API int Tevron_WriteCertificates(const void* device, const char* certificate_file,
                                        const char* pass_phrase, const char* key_file,
                                        const char* key_pass_phrase, uint16_t port, int* error);
NEXOLT_API int Tevron_WriteSelfSignedCertificates(const void* device, int key_bits,
                                                  const char* country, const char* state,
                                                  const char* locality, const char* organisation,
                                                  const char* unit, const char* common_name,
                                                  const char* email, uint16_t port, int* error);
NEXOLT_API int Tevron_WriteUserDefinedMAC(const void* device, const uint8_t* new_mac,
                                          const char* password, uint16_t port, int* error);

/* Resets the record to the factory values of the product: 1, or 0 for an unknown id. */
NEXOLT_API int init_lib_env(int product_id, lib_env* env);

/* ---- Texts and results kept from the last operations --------------------------------- */

NEXOLT_API int get_cert_length(void);
NEXOLT_API int get_cert(uint8_t* buffer);
NEXOLT_API int get_certificates_string_length(void);
NEXOLT_API int get_certificates_string(char* buffer);
NEXOLT_API int get_status_string_length(void);
NEXOLT_API int get_status_string(char* buffer);
NEXOLT_API int get_device_message_length(void);
NEXOLT_API int get_device_message(char* buffer);

NEXOLT_API int get_dad_count_ip4(void);
NEXOLT_API void get_dad_mac_ip4(uint8_t* mac);
NEXOLT_API double get_dad_tick_ip4(void);
NEXOLT_API int get_dad_count_ip6_link_local(void);
NEXOLT_API void get_dad_mac_ip6_link_local(uint8_t* mac);
NEXOLT_API double get_dad_tick_ip6_link_local(void);
NEXOLT_API int get_dad_count_ip6_gua(void);
NEXOLT_API void get_dad_mac_ip6_gua(uint8_t* mac);
NEXOLT_API double get_dad_tick_ip6_gua(void);

/* ---- Settings files ------------------------------------------------------------------ */

typedef struct nexolt_env_file {
    /* 0 ok, 1 size, 2 CRC, 3 version, 4 decode, 5 extension, or the errno value of a file
     * that cannot be read (small errno values share numbers with the codes above). */
    int result;
    uint8_t trailer[32]; /* nlx trailer; for bin files byte 4 holds the version '3' */
    int payload_length;
    uint8_t payload[65536]; /* deciphered payload */
} nexolt_env_file;

NEXOLT_API int parse_env_file(const char* file_name, nexolt_env_file* result);

/* Compare two block sequences of the same length; text receives a description (room for
 * NEXOLT_COMPARE_TEXT_SIZE bytes). 0 equal, -1 block missing, -2 block differs. */
enum { NEXOLT_COMPARE_TEXT_SIZE = 8192 };
NEXOLT_API int memcmp_env_bin(int product_code, const uint8_t* first, const uint8_t* second,
                              int length, char* text);

#ifdef __cplusplus
}
#endif

#include "nexoltlib/accessors.h"

#endif
