#include "modbus_server.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <modbus/modbus.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Serves every connection with poll(); libmodbus parses and answers each request.
[[noreturn]] void serve(int listener) {
    modbus_t* context = modbus_new_tcp("127.0.0.1", 0);
    modbus_mapping_t* mapping = modbus_mapping_new(64, 64, 64, 64);
    mapping->tab_bits[0] = 1;
    mapping->tab_input_bits[1] = 1;
    std::vector<pollfd> fds{{listener, POLLIN, 0}};
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        for (size_t i = fds.size(); i-- > 1;) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            modbus_set_socket(context, fds[i].fd);
            const int length = modbus_receive(context, query);
            if (length > 0) {
                modbus_reply(context, query, length, mapping);
            } else if (length < 0) {
                close(fds[i].fd);
                fds.erase(fds.begin() + static_cast<long>(i));
            }
        }
        if (fds[0].revents & POLLIN) {
            const int client = accept(listener, nullptr, nullptr);
            if (client >= 0) fds.push_back({client, POLLIN, 0});
        }
    }
}

} // namespace

int listen_on_free_port(int& port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(s, 4096);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return s;
}

ServerProcess start_modbus_server() {
    ServerProcess server;
    const int listener = listen_on_free_port(server.port);
    server.pid = fork();
    if (server.pid == 0) serve(listener);
    close(listener);
    return server;
}

void stop_modbus_server(ServerProcess& server) {
    if (server.pid <= 0) return;
    kill(server.pid, SIGTERM);
    waitpid(server.pid, nullptr, 0);
    server.pid = -1;
}
