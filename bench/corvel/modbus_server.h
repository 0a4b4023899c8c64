// A libmodbus server in a child process, the reference peer of the benchmark.
#pragma once

#include <sys/types.h>

struct ServerProcess {
    pid_t pid = -1;
    int port = 0;
};

// A socket listening on a loopback port of the system's choosing, with room for thousands of
// connections waiting to be accepted.
int listen_on_free_port(int& port);

// Forks a server that serves any number of connections on a loopback port until killed.
ServerProcess start_modbus_server();
void stop_modbus_server(ServerProcess& server);
