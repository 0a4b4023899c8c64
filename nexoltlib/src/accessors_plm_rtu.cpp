// Accessors of the PLM-40 and RTU settings (block 41 and the RTU variables). The redundancy
// peers (41,3) hold both server addresses, both ports, then the server and network
// time-outs and thresholds; the RTU variables start with the same fields behind an id.
#include "accessor_fields.h"

#define PLM(offset) (offsetof(lib_env, plm) + (offset))

NEXOLT_TEXT(plm40_id, PLM(NEXOLT_PLM_ID), 16)
NEXOLT_BITS(plm40_communication_mode, PLM(NEXOLT_PLM_MUX), 1, 0, 8)
NEXOLT_IP4(plm40_first_server_address, PLM(NEXOLT_PLM_PEERS))
NEXOLT_IP4(plm40_second_server_address, PLM(NEXOLT_PLM_PEERS + 4))
NEXOLT_BITS(plm40_first_server_port, PLM(NEXOLT_PLM_PEERS + 8), 2, 0, 16)
NEXOLT_BITS(plm40_second_server_port, PLM(NEXOLT_PLM_PEERS + 10), 2, 0, 16)
NEXOLT_BITS(plm40_server_timeout, PLM(NEXOLT_PLM_PEERS + 12), 2, 0, 16)
NEXOLT_BITS(plm40_server_threshold, PLM(NEXOLT_PLM_PEERS + 14), 2, 0, 16)
NEXOLT_BITS(plm40_network_timeout, PLM(NEXOLT_PLM_PEERS + 16), 2, 0, 16)
NEXOLT_BITS(plm40_network_threshold, PLM(NEXOLT_PLM_PEERS + 18), 2, 0, 16)
NEXOLT_BITS(plm40_check_port, PLM(NEXOLT_PLM_CHECK_PORT), 2, 0, 16)
NEXOLT_TEXT(plm40_first_server_host, PLM(NEXOLT_PLM_HOST1), 64)
NEXOLT_TEXT(plm40_second_server_host, PLM(NEXOLT_PLM_HOST2), 64)

#define RTU(offset) PLM(NEXOLT_PLM_RTU_VARS + (offset))

NEXOLT_TEXT(rtu_id, RTU(0), 16)
NEXOLT_BITS(rtu_protocol, RTU(16), 1, 0, 8)
NEXOLT_BITS(rtu_communication_mode, RTU(17), 1, 0, 8)
NEXOLT_IP4(rtu_first_server_address, RTU(20))
NEXOLT_IP4(rtu_second_server_address, RTU(24))
NEXOLT_BITS(rtu_first_server_port, RTU(28), 2, 0, 16)
NEXOLT_BITS(rtu_second_server_port, RTU(30), 2, 0, 16)
NEXOLT_BITS(rtu_first_check_port, RTU(32), 2, 0, 16)
NEXOLT_BITS(rtu_second_check_port, RTU(34), 2, 0, 16)
NEXOLT_BITS(rtu_server_timeout, RTU(36), 2, 0, 16)
NEXOLT_BITS(rtu_server_threshold, RTU(38), 2, 0, 16)
NEXOLT_BITS(rtu_tcp_nodelay, RTU(40), 1, 0, 1)
