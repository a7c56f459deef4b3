#pragma once
// One client connection: its socket, the bytes read from it ahead of the request reader, and its
// place in the server's count of open connections (taken when accepted, given back on closing).

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

#include "market-sim/file_descriptor.h"

namespace kesto::sim {

class Connection {
  public:
    Connection(FileDescriptor socket, std::atomic<std::size_t>& openCount);
    ~Connection();
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool open() const { return socket_.valid(); }
    int socket() const { return socket_.get(); }
    // Closes the socket now; the connection stops counting as open.
    void Close();

    // Bytes received but not yet taken by a request: a request's head and what followed it.
    std::string received;
    // Bytes at the start of `received` that make up the request handed to a worker: its head and
    // its whole body.
    std::size_t requestBytes = 0;
    // Requests answered on this connection so far.
    std::size_t requestsServed = 0;
    // When the request handed to a worker had arrived whole.
    std::chrono::steady_clock::time_point arrived{};

  private:
    FileDescriptor socket_;
    std::atomic<std::size_t>* openCount_;  // the server's count; null once closed or moved from
};

}  // namespace kesto::sim
