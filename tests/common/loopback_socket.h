#pragma once
// A small TCP socket on the loopback interface for in-process test servers, with one
// implementation per platform (BSD sockets, Winsock).

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kesto::testing {

class LoopbackSocket {
  public:
    static constexpr long kTimedOut = -2;

    LoopbackSocket() = default;
    ~LoopbackSocket();
    LoopbackSocket(LoopbackSocket&& other) noexcept;
    LoopbackSocket& operator=(LoopbackSocket&& other) noexcept;
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    // A socket listening on 127.0.0.1 at a port the system chooses; invalid on failure.
    static LoopbackSocket Listen();
    // A socket connected to 127.0.0.1:port; invalid on failure.
    static LoopbackSocket Connect(int port);

    bool valid() const { return handle_ != kInvalid; }
    int LocalPort() const;

    // The next connection, or an invalid socket when none came within timeoutMs.
    LoopbackSocket Accept(int timeoutMs) const;
    // Bytes received (> 0), 0 when the peer closed, -1 on error, kTimedOut after timeoutMs.
    long Receive(char* buffer, std::size_t size, int timeoutMs) const;
    bool SendAll(std::string_view bytes) const;

  private:
    static constexpr std::intptr_t kInvalid = -1;
    explicit LoopbackSocket(std::intptr_t handle) : handle_(handle) {}
    void Close();

    std::intptr_t handle_ = kInvalid;
};

}  // namespace kesto::testing
