// The test servers' loopback socket over BSD sockets.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include "tests/common/loopback_socket.h"

namespace kesto::testing {

namespace {

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool WaitReadable(int handle, int timeoutMs) {
    pollfd entry{handle, POLLIN, 0};
    return poll(&entry, 1, timeoutMs) > 0;
}

}  // namespace

LoopbackSocket::~LoopbackSocket() {
    Close();
}

LoopbackSocket::LoopbackSocket(LoopbackSocket&& other) noexcept
    : handle_(std::exchange(other.handle_, kInvalid)) {}

LoopbackSocket& LoopbackSocket::operator=(LoopbackSocket&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kInvalid);
    }
    return *this;
}

void LoopbackSocket::Close() {
    if (valid()) {
        close(static_cast<int>(handle_));
        handle_ = kInvalid;
    }
}

LoopbackSocket LoopbackSocket::Listen() {
    LoopbackSocket socket(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address = LoopbackAddress(0);
    if (!socket.valid() ||
        bind(static_cast<int>(socket.handle_), reinterpret_cast<sockaddr*>(&address),
             sizeof address) != 0 ||
        listen(static_cast<int>(socket.handle_), 16) != 0) {
        return {};
    }
    return socket;
}

LoopbackSocket LoopbackSocket::Connect(int port) {
    LoopbackSocket socket(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address = LoopbackAddress(port);
    if (!socket.valid() || connect(static_cast<int>(socket.handle_),
                                   reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    return socket;
}

int LoopbackSocket::LocalPort() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&address), &length) !=
        0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

LoopbackSocket LoopbackSocket::Accept(int timeoutMs) const {
    if (!WaitReadable(static_cast<int>(handle_), timeoutMs)) {
        return {};
    }
    return LoopbackSocket(accept(static_cast<int>(handle_), nullptr, nullptr));
}

long LoopbackSocket::Receive(char* buffer, std::size_t size, int timeoutMs) const {
    if (!WaitReadable(static_cast<int>(handle_), timeoutMs)) {
        return kTimedOut;
    }
    return static_cast<long>(recv(static_cast<int>(handle_), buffer, size, 0));
}

bool LoopbackSocket::SendAll(std::string_view bytes) const {
    while (!bytes.empty()) {
        const ssize_t sent =
            send(static_cast<int>(handle_), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

}  // namespace kesto::testing
