#include "market-sim/socket_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace kesto::sim {

bool SocketAddress(int socket, SocketEnd end, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    ip.clear();
    port = 0;
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    if ((end == SocketEnd::kPeer ? getpeername(socket, generic, &length)
                                 : getsockname(socket, generic, &length)) != 0) {
        return false;
    }
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text));
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* in = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof(text));
        port = ntohs(in->sin6_port);
    } else {
        return false;
    }
    ip = text;
    return true;
}

}  // namespace kesto::sim
