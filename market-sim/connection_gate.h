#pragma once
// Where connections wait for their next request. One thread accepts connections on the listening
// socket and reads from every waiting one until its request has arrived whole, head and body;
// only then is the connection handed to a worker, which never waits for a client's request.
// Connections that stay silent or send too slowly are closed after the head time (for the head)
// or the exchange time (for the body), requests framed ambiguously or too large are refused on
// arrival, and the connections open and the bytes held are bounded, so slow or idle clients never
// hold a worker and cannot keep others out.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "market-sim/connection.h"
#include "market-sim/connection_limits.h"
#include "market-sim/file_descriptor.h"
#include "market-sim/incoming_request.h"

namespace kesto::sim {

class ConnectionGate {
  public:
    // Receives each connection whose next request has arrived whole (its `requestBytes` set), on
    // the gate's thread.
    using Dispatch = std::function<void(Connection)>;
    // Told of each request refused after its head arrived: the head, and the reason.
    using Refusal = std::function<void(std::string_view head, const std::string& reason)>;

    ConnectionGate(const ConnectionLimits& limits, Dispatch dispatch, Refusal refused);
    ~ConnectionGate();
    ConnectionGate(const ConnectionGate&) = delete;
    ConnectionGate& operator=(const ConnectionGate&) = delete;

    // Listens on 127.0.0.1 at the port (0 for any free one); the port bound, or -1.
    int Bind(int port);
    // Accepts and waits for requests until Stop (blocking).
    void Run();
    // Ends Run, waiting for it to return, and closes every connection that waits.
    void Stop();
    // Takes a connection back after its answer, to wait for its next request; closes it once the
    // gate has stopped. Any thread may call it.
    void Return(Connection connection);

    std::size_t OpenConnections() const { return open_; }

  private:
    using Clock = std::chrono::steady_clock;
    struct Waiting {
        Connection connection;
        Clock::time_point deadline;
        IncomingRequest request;
    };

    // Hands the connection on when its received bytes hold a whole request, else lets it wait.
    void Admit(Connection connection);
    // Reads what arrived on a waiting connection, handing it on, or closing it, when it is done
    // waiting here.
    void ReadWaiting(Waiting& waiting);
    // Acts on the bytes received so far: hands a whole request on, refuses a bad one, and gives a
    // request whose head has just arrived the time for its body.
    void Advance(Waiting& waiting);
    // Answers the request with the status and the reason and closes the connection.
    void Refuse(Waiting& waiting, std::string_view status, const std::string& reason);
    // Bytes held by all waiting connections.
    std::size_t BufferedBytes() const;
    void AcceptNew();
    void TakeReturned();
    // Closes the waiting connections past their deadline.
    void CloseExpired(Clock::time_point now);
    // Closes the connection that has waited longest; false when none waits.
    bool EvictOldest();
    int PollTimeoutMs(Clock::time_point now) const;

    const ConnectionLimits& limits_;
    Dispatch dispatch_;
    Refusal refused_;
    FileDescriptor listener_;
    FileDescriptor wakeRead_;  // a byte on this pipe wakes Run for Stop or a returned connection
    FileDescriptor wakeWrite_;
    std::vector<Waiting> waiting_;  // in the order they began to wait
    std::atomic<std::size_t> open_{0};
    Clock::time_point acceptPausedUntil_{};

    std::mutex mutex_;  // guards the members below
    std::condition_variable stopped_;
    std::vector<Connection> returned_;
    bool stopping_ = false;
    bool running_ = false;
};

}  // namespace kesto::sim
