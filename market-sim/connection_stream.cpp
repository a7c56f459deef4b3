#include "market-sim/connection_stream.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "market-sim/socket_address.h"

namespace kesto::sim {

ConnectionStream::ConnectionStream(Connection& connection, const ConnectionLimits& limits)
    : connection_(connection), limits_(limits) {}

ConnectionStream::~ConnectionStream() {
    connection_.received.erase(0, taken_);
}

bool ConnectionStream::WaitWritable(Clock::time_point deadline) const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const auto wait = std::clamp(left, std::chrono::milliseconds(0), limits_.ioTime);
    pollfd entry{connection_.socket(), POLLOUT, 0};
    return poll(&entry, 1, static_cast<int>(wait.count())) > 0;
}

bool ConnectionStream::is_readable() const {
    return true;  // the request's bytes are in memory; past them, reads tell the end at once
}

bool ConnectionStream::is_writable() const {
    return WaitWritable(writeDeadline_.value_or(Clock::now() + limits_.exchangeTime));
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    const std::size_t end = std::min(connection_.requestBytes, connection_.received.size());
    const std::size_t count = std::min(size, end - std::min(taken_, end));
    std::memcpy(ptr, connection_.received.data() + taken_, count);
    taken_ += count;
    return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (!writeDeadline_) {
        writeDeadline_ = Clock::now() + limits_.exchangeTime;
    }
    if (!WaitWritable(*writeDeadline_)) {
        return -1;
    }
    return send(connection_.socket(), ptr, size, MSG_NOSIGNAL);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    SocketAddress(connection_.socket(), SocketEnd::kPeer, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    SocketAddress(connection_.socket(), SocketEnd::kOwn, ip, port);
}

socket_t ConnectionStream::socket() const {
    return connection_.socket();
}

}  // namespace kesto::sim
