#include "market-sim/connection_drop.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <filesystem>

namespace kesto::sim {
namespace {

bool PeerIs(int socket, const std::string& peerAddress, int peerPort) {
    sockaddr_storage peer{};
    socklen_t length = sizeof(peer);
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
        return false;
    }
    char text[INET6_ADDRSTRLEN] = {};
    int port = 0;
    if (peer.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&peer);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text));
        port = ntohs(in->sin_port);
    } else if (peer.ss_family == AF_INET6) {
        const auto* in = reinterpret_cast<const sockaddr_in6*>(&peer);
        inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof(text));
        port = ntohs(in->sin6_port);
    } else {
        return false;
    }
    return port == peerPort && peerAddress == text;
}

}  // namespace

bool DropConnection(const std::string& peerAddress, int peerPort, std::string_view firstBytes) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int descriptor = -1;
        try {
            descriptor = std::stoi(entry.path().filename().string());
        } catch (const std::exception&) {
            continue;
        }
        if (PeerIs(descriptor, peerAddress, peerPort)) {
            // Reset rather than close politely, as a crashed or overloaded server would.
            linger hardClose{1, 0};
            setsockopt(descriptor, SOL_SOCKET, SO_LINGER, &hardClose, sizeof(hardClose));
            if (!firstBytes.empty()) {
                send(descriptor, firstBytes.data(), firstBytes.size(), MSG_NOSIGNAL);
            }
            shutdown(descriptor, SHUT_RDWR);
            return true;
        }
    }
    return false;
}

}  // namespace kesto::sim
