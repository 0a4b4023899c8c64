/* tkb11lib: finds TKB-11 controllers on the local IPv4 network and reads their settings record.
 *
 * Protocol (UDP to the controller's port, normally TKB11_PORT, the port the device-management
 * protocol uses too: the magic "TK11" keeps the two apart; multi-byte fields big-endian, IPv4
 * addresses in network order):
 *
 *   request, 16 bytes                     answer, 16 bytes + record
 *    0 magic "TK11"                        0 magic "TK11"
 *    4 version 1                           4 version 1
 *    5 opcode 0x01 search, 0x02 read       5 opcode | 0x80
 *    6 sequence                            6 sequence (echoed)
 *    8 0, 0                                8 status: 0 ok, 1 password mismatch, 2 locked
 *   10 MAC[6]: the device to read by       9 0
 *      broadcast; zero for any device     10 MAC[6]
 *                                         16 record (184 bytes, status 0 only): the layout of
 *                                            tkb11_record with its 16-bit fields big-endian
 *
 * Broadcasts (mode 0) go to 255.255.255.255 from a socket bound to the first IPv4
 * address of each interface of getifaddrs (loopback excluded); answers are heard on all of them.
 * Mode 1 sends to one address. A search collects answers for one second in their order of arrival
 * (in mode 1 only until the device there answers), dropping those with a zero MAC, a MAC
 * already listed or a malformed frame. A read tries three times, 400 ms each, and takes the
 * first answer of the device asked.
 */
#ifndef TKB11LIB_TKB11LIB_H
#define TKB11LIB_TKB11LIB_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define TKB11_API __declspec(dllexport)
#else
#define TKB11_API __attribute__((visibility("default")))
#endif

#define TKB11_PORT 50005
#define TKB11_MAX_RECORDS 256

/* Error codes besides errno values. */
#define TKB11_ERR_PASSWORD 1      /* the device refused: password mismatch */
#define TKB11_ERR_LOCKED 2        /* the device refused: settings locked */
#define TKB11_ERR_NO_ANSWER 3     /* no answer in time */
#define TKB11_ERR_LOCAL_ADDRESS 4 /* no usable local interface for the local address given */
#define TKB11_ERR_UNKNOWN 5       /* an answer of an unknown version, opcode or status */
#define TKB11_ERR_GARBLED 6       /* an answer of the wrong length */

#ifdef __cplusplus
extern "C" {
#endif

/* 16-bit fields in host order. Texts are narrow, NUL-padded, unterminated when full. */
typedef struct tkb11_record {
    uint32_t ip_address;     /* 0: IPv4, network order */
    uint8_t mac[6];          /* 4 */
    uint8_t reserved10[2];   /* 10 */
    uint32_t subnet_mask;    /* 12: network order */
    uint32_t gateway;        /* 16: network order */
    uint8_t reserved20[2];   /* 20 */
    uint16_t client_port;    /* 22: the Modbus/TCP port it serves in modes 0 and 1 */
    uint16_t server_port;    /* 24: the port it connects to in mode 2 */
    uint8_t reserved26[2];   /* 26 */
    uint32_t server_address; /* 28: network order, the host it connects to in mode 2 */
    uint8_t reserved32[72];  /* 32 */
    uint8_t mode;            /* 104: 0/1 Modbus/TCP server (Iomira is client), 2 client */
    uint8_t reserved105;     /* 105 */
    uint8_t unit_id;         /* 106 */
    uint8_t reserved107[5];  /* 107 */
    uint16_t input_address;  /* 112 */
    uint16_t output_address; /* 114 */
    uint8_t reserved116[4];  /* 116 */
    char comment[32];        /* 120 */
    char input_name[16];     /* 152 */
    char output_name[16];    /* 168 */
} tkb11_record;              /* sizeof == 184 */

/* mode 0 broadcast (address ignored), 1 unicast to address (network order); port 0 means
 * TKB11_PORT; local_address 0 uses every interface, else the IPv4 address (network order) of
 * the one to use. Fills up to TKB11_MAX_RECORDS records and *count. Returns 1 (also when none
 * answered: count 0, error 0), or -1 with *error set. */
TKB11_API int TKB11_Search(int mode, uint32_t address, tkb11_record* records, int* count,
                           int* error, int port, int local_address);

/* Reads the record of the device with mac by broadcast (mode 0) or of the one at address
 * (mode 1; mac may be null). Returns 1, or -1 with *error set. */
TKB11_API int TKB11_Read(int mode, const uint8_t* mac, uint32_t address, tkb11_record* record,
                         int* error, int port, int local_address);

#ifdef __cplusplus
}
#endif

/* The program reads these offsets; they never move. */
#ifdef __cplusplus
#define TKB11_STATIC_ASSERT static_assert
#else
#define TKB11_STATIC_ASSERT _Static_assert
#endif
TKB11_STATIC_ASSERT(sizeof(tkb11_record) == 184, "tkb11_record size");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, ip_address) == 0, "ip_address");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, mac) == 4, "mac");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, subnet_mask) == 12, "subnet_mask");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, gateway) == 16, "gateway");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, client_port) == 22, "client_port");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, server_port) == 24, "server_port");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, server_address) == 28, "server_address");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, mode) == 104, "mode");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, unit_id) == 106, "unit_id");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, input_address) == 112, "input_address");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, output_address) == 114, "output_address");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, comment) == 120, "comment");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, input_name) == 152, "input_name");
TKB11_STATIC_ASSERT(offsetof(tkb11_record, output_name) == 168, "output_name");
#undef TKB11_STATIC_ASSERT

#endif
