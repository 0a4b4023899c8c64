// Socket options kept apart from corvel.h, whose state names clash with <netinet/tcp.h>.
#pragma once

namespace corvel_test {

// Sets a listener's segment size and receive buffer, which its accepted sockets inherit.
void shrink_window(int listener, int receive_buffer, int max_segment);

} // namespace corvel_test
