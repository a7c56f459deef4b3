#include "market-sim/connection.h"

#include <utility>

namespace kesto::sim {

Connection::Connection(FileDescriptor socket, std::atomic<std::size_t>& openCount)
    : socket_(std::move(socket)), openCount_(&openCount) {
    ++openCount;
}

Connection::~Connection() {
    Close();
}

Connection::Connection(Connection&& other) noexcept
    : received(std::move(other.received)),
      requestBytes(other.requestBytes),
      requestsServed(other.requestsServed),
      arrived(other.arrived),
      socket_(std::move(other.socket_)),
      openCount_(std::exchange(other.openCount_, nullptr)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        Close();
        received = std::move(other.received);
        requestBytes = other.requestBytes;
        requestsServed = other.requestsServed;
        arrived = other.arrived;
        socket_ = std::move(other.socket_);
        openCount_ = std::exchange(other.openCount_, nullptr);
    }
    return *this;
}

void Connection::Close() {
    socket_.Close();
    if (openCount_ != nullptr) {
        --*openCount_;
        openCount_ = nullptr;
    }
}

}  // namespace kesto::sim
