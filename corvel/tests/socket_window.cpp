#include "socket_window.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace corvel_test {

void shrink_window(int listener, int receive_buffer, int max_segment) {
    setsockopt(listener, IPPROTO_TCP, TCP_MAXSEG, &max_segment, sizeof max_segment);
    setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
}

} // namespace corvel_test
