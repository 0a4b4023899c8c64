/* Corvel: the Modbus/TCP client library of Iomira.
 *
 * The caller registers each controller under a key of its own, connects to it (client) or
 * waits for it (one-client server on IPv4 or IPv6), sends requests and learns of connection
 * events and decoded responses through notifications delivered to a corvel_window. Between
 * notifications it reads the decoded values through the getters.
 *
 * Threads: socket events and decoding run on the thread that calls corvel_dispatch (the
 * "window thread"), and so does every notification but one: a connect_device that fails at
 * once (-2: an address that cannot be used, a port already in use, a socket that cannot be
 * set up) sends its connection notification (error << 16) + CORVEL_FD_CONNECT on the caller's
 * own thread, before it returns. A host name that needs a lookup is resolved on a thread of
 * Corvel's: connect_device returns 1 at once, and a failed lookup arrives later on the window
 * thread as (resolver code << 16) + CORVEL_FD_CONNECT with the entry in TCP_ERROR, as a
 * refused connection does. Requests and getters may be called from any thread; none of them
 * waits for a lookup. No Corvel lock is held while a window procedure runs, so a procedure
 * may call Corvel again (even corvel_dispatch, from a nested event loop).
 *
 * Answer watchdog: Corvel counts, per connection, the request frames it has sent and that no
 * response (normal or exception) has answered yet; the controller's own change reports answer
 * nothing. When the oldest of them has waited the answer timeout (CORVEL_ANSWER_TIMEOUT_MS
 * unless corvel_set_answer_timeout says otherwise), the connection fails on the window thread
 * as a lost connection does: a client goes to TCP_ERROR, a server drops its client and listens
 * again, and either sends (ETIMEDOUT << 16) + CORVEL_FD_CLOSE. corvel_event_fd becomes
 * readable for that deadline even when no socket has anything to say.
 *
 * No C++ exception leaves a function of this interface: running out of memory (or threads)
 * gives -2 with the errno value (ENOMEM) in the out error where there is one.
 */
#ifndef CORVEL_CORVEL_H
#define CORVEL_CORVEL_H

#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#if defined(_WIN32)
#define CORVEL_API __declspec(dllexport)
#else
#define CORVEL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes of every exported function. */
enum {
    CORVEL_OK = 1,
    CORVEL_UNKNOWN_DEVICE = -1, /* no entry with this key (add_device: key already taken) */
    CORVEL_SOCKET_ERROR = -2,   /* the out error holds the errno or resolver code */
    CORVEL_WRONG_STATE = -3,
    CORVEL_OUT_OF_RANGE = -4
};

/* Connection states. */
enum { TCP_CLOSED = 0, TCP_LISTEN = 1, TCP_CONNECTING = 2, TCP_ESTABLISHED = 3, TCP_ERROR = 4 };

/* Connection modes of add_device / update_device. */
enum { CORVEL_MODE_CLIENT = 0, CORVEL_MODE_SERVER_IPV4 = 1, CORVEL_MODE_SERVER_IPV6 = 2 };

/* Notification messages delivered to the window procedure (wparam is always the key). */
enum { CORVEL_WM_CONNECTION = 1025, CORVEL_WM_DATA = 1026 };

/* Event bits in the low 16 bits of a connection notification's lparam. */
enum {
    CORVEL_FD_READ = 1,
    CORVEL_FD_WRITE = 2,
    CORVEL_FD_ACCEPT = 8,
    CORVEL_FD_CONNECT = 16,
    CORVEL_FD_CLOSE = 32
};

/* A connection notification's lparam is (error << 16) + event. Errors are errno values;
 * a failed host resolution carries the resolver's (negative) code, readable with
 * gai_strerror. Use these to take it apart: the error is an arithmetic shift. */
#define CORVEL_LPARAM(error, event) ((intptr_t)(error)*65536 + (intptr_t)(event))
#define CORVEL_LPARAM_ERROR(lparam) ((int32_t)((intptr_t)(lparam) >> 16))
#define CORVEL_LPARAM_EVENT(lparam) ((int32_t)((intptr_t)(lparam)&0xFFFF))

/* Data notification codes (lparam of CORVEL_WM_DATA). */
enum {
    MB_BAD_LENGTH = 0,
    MB_BAD_PACKET = 1,
    MB_INPUTS = 2,
    MB_OUTPUTS = 3,
    MB_REGISTER = 4,
    MB_INPUTS_EXCEPTION = 5,
    MB_OUTPUTS_EXCEPTION = 6,
    MB_REGISTER_EXCEPTION = 7,
    MB_UNKNOWN_FUNCTION = 10,
    MB_PULSE_DONE = 11,
    MB_PULSE_EXCEPTION = 12,
    MB_COIL_DONE = 13,
    MB_COIL_EXCEPTION = 14,
    MB_ANALOG_VALUES = 17,
    MB_COUNTERS = 18,
    MB_IDENT_EXCEPTION = 19,
    MB_DI_CHANGE_DONE = 20,
    MB_DI_CHANGE_EXCEPTION = 21,
    MB_REPORT_INPUTS = 22,
    MB_REPORT_OUTPUTS = 23,
    MB_REPORT_COUNTERS = 24,
    MB_PULSE_FLAGS = 25,
    MB_ANALOG_ERRORS = 26,
    MB_ANALOG_MODES = 27
};

/* Model family codes of rlx8xx_read_all. */
enum {
    CORVEL_FAMILY_RLX810 = 1,
    CORVEL_FAMILY_RLX820 = 2,
    CORVEL_FAMILY_RLX830 = 3,
    CORVEL_FAMILY_RLX850 = 4,
    CORVEL_FAMILY_RLX840 = 5
};

/* Modes of rlx8xx_read_all. */
enum { CORVEL_READ_INPUTS = 0, CORVEL_READ_OUTPUTS = 1, CORVEL_READ_INPUTS_OUTPUTS = 2 };

/* Kinds of get_received_port_value. */
enum { CORVEL_KIND_INPUT = 1, CORVEL_KIND_OUTPUT = 2, CORVEL_KIND_REGISTER = 3 };

/* Number of entries of each received register table. */
enum { CORVEL_TABLE_SIZE = 125 };

/* A notification target. Embed it as the first member of your own struct to carry context. */
typedef struct corvel_window corvel_window;
typedef void (*corvel_window_proc)(corvel_window* window, uint32_t message, uintptr_t wparam,
                                   intptr_t lparam);
struct corvel_window {
    corvel_window_proc proc;
};

/* The dispatcher. corvel_event_fd becomes readable when socket events wait (or an answer
 * deadline has passed); corvel_dispatch
 * waits at most timeout_ms (0: not at all, negative: without limit) and runs the ready events
 * on the calling thread. It returns the number of events handled, or a negative errno. */
CORVEL_API int corvel_event_fd(void);
CORVEL_API int corvel_dispatch(int timeout_ms);

/* Registration. */
CORVEL_API int32_t add_device(corvel_window* window, int32_t key, const char16_t* host,
                              int32_t mode, int32_t port, int32_t unit_id, int32_t input_base,
                              int32_t output_base);
CORVEL_API int32_t update_device(int32_t key, const char16_t* host, int32_t mode, int32_t port,
                                 int32_t unit_id, int32_t input_base, int32_t output_base);
CORVEL_API int32_t delete_device(int32_t key);

/* Connection. connect_device returns 1 when the connect (or the host's lookup) is under way,
 * or -2 after it has notified the failure on the calling thread (see Threads above). */
CORVEL_API int32_t connect_device(int32_t key, int32_t* error);
CORVEL_API int32_t disconnect_device(int32_t key);

/* Requests. tag 0 selects the request's default tag. */
CORVEL_API int32_t read_coils(int32_t key, int32_t quantity, int32_t* error, int32_t tag);
CORVEL_API int32_t read_discrete_inputs(int32_t key, int32_t quantity, int32_t* error, int32_t tag);
CORVEL_API int32_t holding_registers_read(int32_t key, int32_t count, int32_t type, int32_t* error,
                                          int32_t tag);
CORVEL_API int32_t input_registers_read(int32_t key, int32_t count, int32_t* error);
CORVEL_API int32_t output_port_coil_onoff(int32_t key, int32_t port, int32_t value, int32_t* error,
                                          int32_t tag);
CORVEL_API int32_t output_port_pulse(int32_t key, int32_t port, int32_t duration_ms, int32_t value,
                                     int32_t* error, int32_t tag);
CORVEL_API int32_t reset_di_statistics(int32_t key, int32_t channel, int32_t* error, int32_t tag);
CORVEL_API int32_t rlx8xx_read_all(int32_t key, int32_t family, int32_t mode, int32_t* error);
CORVEL_API int32_t rlx8xx_pulse_control(int32_t key, int32_t port, int32_t* error, int32_t tag);
CORVEL_API int32_t rlx8xx_enable_di_change(int32_t key, int32_t port, int32_t* error, int32_t tag);
CORVEL_API int32_t rlx8xx_eit_request(int32_t key, int32_t read_device_id_code, int32_t object_id,
                                      int32_t* error, int32_t tag);

/* Gathered sends. After corvel_gather_sends(key) the requests made for key wait in its send
 * buffer; corvel_send_gathered(key) writes them all at once (a poll's reads in one segment, not
 * one system call and one segment each). A write that fails there does what a request's failed
 * write does: the connection is closed and -2 returned with the errno in *error. A reset of the
 * connection ends the gathering. Both return 1, or -1 for an unknown key. */
CORVEL_API int32_t corvel_gather_sends(int32_t key);
CORVEL_API int32_t corvel_send_gathered(int32_t key, int32_t* error);

/* Getters. */
CORVEL_API int32_t get_received_port_value(int32_t key, int32_t kind, int32_t port);
CORVEL_API int32_t get_received_input_register_value(int32_t key, int32_t index);
CORVEL_API int32_t get_ai_value_register(int32_t key, int32_t index);
CORVEL_API int32_t get_ai_error_code(int32_t key, int32_t index);
CORVEL_API int32_t get_di_counter_value_register(int32_t key, int32_t index);
CORVEL_API int32_t get_ai_mode(int32_t key, int32_t channel);
CORVEL_API int32_t get_rlx8xx_output_pulse(int32_t key, int32_t port);
CORVEL_API int32_t get_write_coil_response_port_number(int32_t key);
CORVEL_API int32_t get_write_pulse_request_port_number(int32_t key);
CORVEL_API int32_t get_write_pulse_response_port_number(int32_t key);
CORVEL_API int32_t get_write_pulse_response_duration(int32_t key);
CORVEL_API int32_t get_tcp_connection_state(int32_t key);
CORVEL_API int32_t get_tcp_error_code(int32_t key);
CORVEL_API int32_t get_modbus_error_code(int32_t key);
CORVEL_API int32_t get_input_port_read_error(int32_t key);
CORVEL_API int32_t get_output_port_read_error(int32_t key);
CORVEL_API int32_t get_transaction_id(int32_t key);

/* A count that grows by one at every change of any connection's state (TCP_CLOSED ..
 * TCP_ERROR), whether or not a notification reports it, such as a connection closed because a
 * request could not be sent. A caller that finds it unchanged knows that no state changed since
 * it last read it, without asking each key. Wraps around at 2^32. */
CORVEL_API uint32_t corvel_state_changes(void);

/* The answer watchdog. */
enum { CORVEL_ANSWER_TIMEOUT_MS = 10000 }; /* the answer timeout until it is set */

/* Milliseconds the oldest unanswered request of the connection has waited: since it was sent,
 * or since the last answer when earlier requests have been answered meanwhile. 0 when every
 * request is answered or there is no connection; -1 for an unknown key. */
CORVEL_API int32_t get_unanswered_ms(int32_t key);

/* How many answers the controller sent with no request of Corvel's waiting for them, since it
 * was registered. They are dropped without being decoded and without a notification (a peer
 * flooding answers costs little); the controller's change reports are not answers and are
 * always decoded. Saturates at INT32_MAX; -1 for an unknown key. */
CORVEL_API int32_t get_dropped_answer_count(int32_t key);

/* The time, for every connection of the process, after which an unanswered request fails its
 * connection with ETIMEDOUT; 0 turns the watchdog off. Takes effect for requests already
 * waiting. Returns 1, or -4 for a negative time. */
CORVEL_API int32_t corvel_set_answer_timeout(int32_t ms);

#ifdef __cplusplus
}
#endif

#endif
