#pragma once
// The HTTP library's view of one request on a connection: it reads the bytes the server has
// already received first, then the socket, and never waits longer than the limits allow.

#include <httplib.h>

#include <chrono>
#include <optional>
#include <string>

#include "market-sim/connection.h"
#include "market-sim/connection_limits.h"

namespace kesto::sim {

class ConnectionStream final : public httplib::Stream {
  public:
    using Clock = std::chrono::steady_clock;

    ConnectionStream(Connection& connection, const ConnectionLimits& limits);
    // Leaves the bytes not read in the connection for its next request.
    ~ConnectionStream() override;
    ConnectionStream(const ConnectionStream&) = delete;
    ConnectionStream& operator=(const ConnectionStream&) = delete;

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override;

  private:
    // Waits for the socket to be ready for events, at most the I/O time and never past the
    // deadline; false when it did not become ready.
    bool Wait(short events, Clock::time_point deadline) const;

    Connection& connection_;
    const ConnectionLimits& limits_;
    std::size_t taken_ = 0;  // bytes of connection_.received read so far
    Clock::time_point readDeadline_;
    std::optional<Clock::time_point> writeDeadline_;  // set by the first write
};

}  // namespace kesto::sim
