#pragma once
// The IP address text and port of one end of a socket.

#include <string>

namespace kesto::sim {

enum class SocketEnd { kPeer, kOwn };

// The end's address ("127.0.0.1", "::1") and port; false, with both left empty, when the socket
// has no such end or it is neither IPv4 nor IPv6.
bool SocketAddress(int socket, SocketEnd end, std::string& ip, int& port);

}  // namespace kesto::sim
