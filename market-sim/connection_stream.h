#pragma once
// The HTTP library's view of one request on a connection. The request has arrived whole before
// a worker takes it, so the library reads only the request's own bytes, from memory, and finds
// the stream ended after them: it can never wait for a client nor read into the next request.
// An answer is gathered in memory and sent when it is complete (or large), so that its head and
// body leave in one write instead of waking the client once for each; no send waits longer than
// the limits allow.

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

    // Nothing of the answer is sent before sendFrom.
    ConnectionStream(Connection& connection, const ConnectionLimits& limits,
                     Clock::time_point sendFrom = {});
    // Leaves the bytes after the request in the connection for its next request.
    ~ConnectionStream() override;
    ConnectionStream(const ConnectionStream&) = delete;
    ConnectionStream& operator=(const ConnectionStream&) = delete;

    // Whether the library read the whole request, body included. When it did not (it refused
    // the request early, or ignored a body), the rest must not be parsed as a request.
    bool RequestReadWhole() const { return taken_ == connection_.requestBytes; }
    // Sends what the library has written and not yet sent; false when the socket did not take
    // it all in time (the connection is then of no further use).
    bool Flush();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override;

  private:
    // Waits for the socket to take bytes, at most the I/O time and never past the deadline;
    // false when it did not become ready.
    bool WaitWritable(Clock::time_point deadline) const;

    Connection& connection_;
    const ConnectionLimits& limits_;
    std::size_t taken_ = 0;                           // bytes of the request read so far
    std::optional<Clock::time_point> writeDeadline_;  // set by the first write
    Clock::time_point sendFrom_;
    std::string pending_;  // written by the library, not yet sent
    bool failed_ = false;  // a send failed: nothing more is sent
};

}  // namespace kesto::sim
