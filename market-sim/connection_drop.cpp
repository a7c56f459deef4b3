#include "market-sim/connection_drop.h"

#include <sys/socket.h>

#include <cstring>
#include <filesystem>

#include "market-sim/socket_address.h"

namespace kesto::sim {
namespace {

bool PeerIs(int socket, const std::string& peerAddress, int peerPort) {
    std::string ip;
    int port = 0;
    return SocketAddress(socket, SocketEnd::kPeer, ip, port) && port == peerPort &&
           ip == peerAddress;
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
