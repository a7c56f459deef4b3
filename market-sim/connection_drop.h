#pragma once
// Cutting a client's connection: without a byte of answer for the "drop" fault, after the first
// bytes of one for the "cut" fault.

#include <string>
#include <string_view>

namespace kesto::sim {

// Sends firstBytes, then shuts down this process's TCP socket whose peer is address:port. The
// HTTP library still owns and later closes the socket; it only finds it dead. False when no such
// socket was found.
bool DropConnection(const std::string& peerAddress, int peerPort, std::string_view firstBytes = {});

}  // namespace kesto::sim
