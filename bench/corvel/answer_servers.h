// Peers that answer without any protocol work: the physical limit Corvel is measured against.
// Every request is taken to be a 12-byte read and gets a 10-byte answer carrying its
// transaction identifier, whatever else it holds.
#pragma once

#include "modbus_server.h"

// A server process with one blocking socket per connection, served one connection at a time.
ServerProcess start_pingpong_server();
// A server process that answers any number of connections from one epoll loop.
ServerProcess start_answer_server();

// The soft limit of open descriptors raised to the hard limit; returns the new soft limit.
long raise_descriptor_limit();
