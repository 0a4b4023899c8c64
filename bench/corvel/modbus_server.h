// A libmodbus server in a child process, the reference peer of the benchmark.
#pragma once

#include <sys/types.h>

struct ServerProcess {
    pid_t pid = -1;
    int port = 0;
};

// Forks a server that serves any number of connections on a loopback port until killed.
ServerProcess start_modbus_server();
void stop_modbus_server(ServerProcess& server);
