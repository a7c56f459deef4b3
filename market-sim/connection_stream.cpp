#include "market-sim/connection_stream.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "market-sim/socket_address.h"

namespace kesto::sim {
namespace {

// An answer larger than this goes out in pieces of about this size, so that a large body is not
// held in memory twice.
constexpr std::size_t kSendBytes = 64 * 1024;

}  // namespace

ConnectionStream::ConnectionStream(Connection& connection, const ConnectionLimits& limits,
                                   Clock::time_point sendFrom)
    : connection_(connection), limits_(limits), sendFrom_(sendFrom) {}

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
    return !failed_;  // writes go to memory; Flush waits for the socket
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    const std::size_t end = std::min(connection_.requestBytes, connection_.received.size());
    const std::size_t count = std::min(size, end - std::min(taken_, end));
    std::memcpy(ptr, connection_.received.data() + taken_, count);
    taken_ += count;
    return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (failed_) {
        return -1;
    }
    if (!writeDeadline_) {
        writeDeadline_ = Clock::now() + limits_.exchangeTime;
    }
    pending_.append(ptr, size);
    if (pending_.size() >= kSendBytes && !Flush()) {
        return -1;
    }
    return static_cast<ssize_t>(size);
}

bool ConnectionStream::Flush() {
    if (!pending_.empty() && Clock::now() < sendFrom_) {
        std::this_thread::sleep_until(sendFrom_);
    }
    std::size_t sent = 0;
    while (!failed_ && sent < pending_.size()) {
        const ssize_t count = send(connection_.socket(), pending_.data() + sent,
                                   pending_.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
        } else if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            failed_ = !WaitWritable(*writeDeadline_);
        } else {
            failed_ = true;
        }
    }
    pending_.clear();
    return !failed_;
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
