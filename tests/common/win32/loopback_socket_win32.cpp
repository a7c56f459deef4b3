// The test servers' loopback socket over Winsock.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <utility>

#include "tests/common/loopback_socket.h"

namespace kesto::testing {

namespace {

// Winsock is started once for the test process and stopped at its end.
struct WinsockStartup {
    WinsockStartup() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockStartup() { WSACleanup(); }
};

void EnsureWinsock() {
    static const WinsockStartup startup;
}

SOCKET Native(std::intptr_t handle) {
    return static_cast<SOCKET>(handle);
}

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool WaitReadable(SOCKET handle, int timeoutMs) {
    WSAPOLLFD entry{handle, POLLRDNORM, 0};
    return WSAPoll(&entry, 1, timeoutMs) > 0;
}

std::intptr_t NewSocket() {
    EnsureWinsock();
    const SOCKET handle = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return handle == INVALID_SOCKET ? -1 : static_cast<std::intptr_t>(handle);
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
        closesocket(Native(handle_));
        handle_ = kInvalid;
    }
}

LoopbackSocket LoopbackSocket::Listen() {
    LoopbackSocket listening(NewSocket());
    sockaddr_in address = LoopbackAddress(0);
    if (!listening.valid() ||
        bind(Native(listening.handle_), reinterpret_cast<sockaddr*>(&address), sizeof address) !=
            0 ||
        listen(Native(listening.handle_), 16) != 0) {
        return {};
    }
    return listening;
}

LoopbackSocket LoopbackSocket::Connect(int port) {
    LoopbackSocket connected(NewSocket());
    sockaddr_in address = LoopbackAddress(port);
    if (!connected.valid() || connect(Native(connected.handle_),
                                      reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    return connected;
}

int LoopbackSocket::LocalPort() const {
    sockaddr_in address{};
    int length = sizeof address;
    if (getsockname(Native(handle_), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

LoopbackSocket LoopbackSocket::Accept(int timeoutMs) const {
    if (!WaitReadable(Native(handle_), timeoutMs)) {
        return {};
    }
    const SOCKET accepted = accept(Native(handle_), nullptr, nullptr);
    return LoopbackSocket(accepted == INVALID_SOCKET ? -1 : static_cast<std::intptr_t>(accepted));
}

long LoopbackSocket::Receive(char* buffer, std::size_t size, int timeoutMs) const {
    if (!WaitReadable(Native(handle_), timeoutMs)) {
        return kTimedOut;
    }
    return recv(Native(handle_), buffer, static_cast<int>(size), 0);
}

bool LoopbackSocket::SendAll(std::string_view bytes) const {
    while (!bytes.empty()) {
        const int sent = send(Native(handle_), bytes.data(), static_cast<int>(bytes.size()), 0);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

}  // namespace kesto::testing
