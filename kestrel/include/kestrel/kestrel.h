/* Kestrel: finds the RLX controllers (RLX-810, -820, -830, -840, -850) on the local IPv4
 * network and reads their connection settings.
 *
 * The results of the last search are kept per process behind a lock; an index names the
 * position in that result (0 .. count-1). Texts are UTF-16 and stay valid until the next
 * Search, or ReadEnv of the same index. Every call blocks its caller (a search for its whole
 * answer window).
 *
 * Protocol (UDP, controller port KESTREL_PORT; multi-byte fields big-endian, IPv4 addresses in
 * network order; texts NUL-padded, a full field has no NUL):
 *
 *   request, 16 bytes           search answer, 100 bytes     settings answer, 92 bytes
 *    0 magic "KSTL"              0 magic "KSTL"               0 magic "KSTL"
 *    4 version 1                 4 version 1                  4 version 1
 *    5 opcode 0x01 search,       5 opcode 0x81                5 opcode 0x82
 *           0x02 settings        6 sequence (echoed)          6 sequence (echoed)
 *    6 sequence                  8 0                          8 0
 *    8 language id (search)     10 EUI[6]                    10 EUI[6]
 *   10 EUI[6] (settings;        16 device address[4]         16 device address[4]
 *      zero for a search)       20 model[16] ASCII           20 Modbus host address[4]
 *                               36 comment[64] UTF-8         24 Modbus/TCP port
 *                                                            26 unit id
 *                                                            27 communication mode
 *                                                            28 comment[64] UTF-8
 *
 * Search sends the request to 255.255.255.255 from a socket bound to the first IPv4
 * address of each interface of getifaddrs (loopback excluded) and hears the answers on all of them
 * until the search time-out ends. Answers with an unknown model, a zero EUI, a wrong length or an
 * EUI already listed are dropped. ReadEnv asks the device address of the search answer by
 * unicast (three tries, 400 ms each) and takes only the answer carrying its EUI.
 */
#ifndef KESTREL_KESTREL_H
#define KESTREL_KESTREL_H

#include <stdint.h>

#if defined(_WIN32)
#define KESTREL_API __declspec(dllexport)
#else
#define KESTREL_API __attribute__((visibility("default")))
#endif

#define KESTREL_PORT 50020
#define KESTREL_TEXT_SIZE 256 /* char16_t units of each GetDeviceInfo buffer, NUL included */
#define KESTREL_MAX_DEVICES 256

#ifdef __cplusplus
extern "C" {
#else
#include <uchar.h>
#endif

/* Broadcast search; returns the number found (0 or more). The caption titles the original's
 * progress window; this library shows none. */
KESTREL_API int Search(uint16_t language_id, const char16_t* caption);

/* Fills product (the model text, e.g. u"RLX-850") and information
 * ("[%02X:..:%02X] comment - [address]", or without " comment" when it is empty), each of
 * KESTREL_TEXT_SIZE units. 1 ok, 0 bad index or a null buffer. */
KESTREL_API int GetDeviceInfo(int index, char16_t* product, char16_t* information);

/* 1 when the controller's settings were read (unicast), else 0. */
KESTREL_API int ReadEnv(int index);

/* Settings read by ReadEnv; -1 for a bad index or before ReadEnv. */
KESTREL_API int GetUnitId(int index);
/* 0: the controller is a Modbus/TCP server (connect to GetHostAddress); 1: it connects in. */
KESTREL_API int GetCommunicationMode(int index);
KESTREL_API int GetCorvelPortNumber(int index); /* its Modbus/TCP port */

/* Dotted address text; u"" for a bad index or before ReadEnv. */
KESTREL_API const char16_t* GetHostAddress(int index);
/* The comment of the settings after ReadEnv, else of the search answer; u"" for a bad index. */
KESTREL_API const char16_t* GetComment(int index);
/* 6 bytes; nullptr for a bad index. */
KESTREL_API const uint8_t* GetEUI(int index);

/* For tests and tools only: the answer window of Search in milliseconds (default 1500; a value
 * of 0 or less restores the default). */
KESTREL_API void Kestrel_SetSearchTimeout(int ms);

#ifdef __cplusplus
}
#endif

#endif
