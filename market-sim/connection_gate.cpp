#include "market-sim/connection_gate.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

namespace kesto::sim {
namespace {

constexpr std::size_t kReadBytes = 16 * 1024;
// Reads from one connection in one polling round, so a large body arrives in few rounds while
// the other connections are not kept waiting for long.
constexpr int kReadsPerRound = 16;
constexpr int kAcceptsPerRound = 64;
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

// Closes a connection that is not given a worker: silently when it sent nothing (an idle
// kept-alive connection), else with the status and the reason.
void TurnAway(Connection& connection, std::string_view status, const std::string& reason) {
    if (!connection.received.empty()) {
        const std::string answer = "HTTP/1.1 " + std::string(status) +
                                   "\r\nConnection: close\r\nContent-Type: text/plain\r\n"
                                   "Content-Length: " +
                                   std::to_string(reason.size()) + "\r\n\r\n" + reason;
        send(connection.socket(), answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    connection.Close();
}

}  // namespace

ConnectionGate::ConnectionGate(const ConnectionLimits& limits, Dispatch dispatch, Refusal refused)
    : limits_(limits), dispatch_(std::move(dispatch)), refused_(std::move(refused)) {
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
        wakeRead_ = FileDescriptor(ends[0]);
        wakeWrite_ = FileDescriptor(ends[1]);
    }
}

ConnectionGate::~ConnectionGate() {
    Stop();
}

int ConnectionGate::Bind(int port) {
    FileDescriptor listener(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (!listener.valid() || !wakeRead_.valid() ||
        setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) != 0 ||
        bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener.get(), SOMAXCONN) != 0 ||
        getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return -1;
    }
    listener_ = std::move(listener);
    return ntohs(address.sin_port);
}

void ConnectionGate::Run() {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_ || !listener_.valid()) {
            return;
        }
        running_ = true;
    }
    std::vector<pollfd> entries;
    while (true) {
        {
            const std::lock_guard lock(mutex_);
            if (stopping_) {
                break;
            }
        }
        const auto now = Clock::now();
        entries.clear();
        entries.push_back({wakeRead_.get(), POLLIN, 0});
        // A negative descriptor is left out of the poll.
        entries.push_back({now < acceptPausedUntil_ ? -1 : listener_.get(), POLLIN, 0});
        for (const auto& waiting : waiting_) {
            entries.push_back({waiting.connection.socket(), POLLIN, 0});
        }
        poll(entries.data(), entries.size(), PollTimeoutMs(now));
        for (std::size_t i = 2; i < entries.size(); ++i) {
            if (entries[i].revents != 0) {
                ReadWaiting(waiting_[i - 2]);
            }
        }
        std::erase_if(waiting_, [](const Waiting& waiting) { return !waiting.connection.open(); });
        CloseExpired(Clock::now());
        if (entries[0].revents != 0) {
            TakeReturned();
        }
        if (entries[1].revents != 0) {
            AcceptNew();
        }
    }
    waiting_.clear();
    listener_.Close();
    const std::lock_guard lock(mutex_);
    returned_.clear();
    running_ = false;
    stopped_.notify_all();
}

void ConnectionGate::Stop() {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    const char byte = 1;
    [[maybe_unused]] const auto written = write(wakeWrite_.get(), &byte, 1);
    stopped_.wait(lock, [this] { return !running_; });
    returned_.clear();
}

void ConnectionGate::Return(Connection connection) {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) {
            return;  // the connection closes here
        }
        returned_.push_back(std::move(connection));
    }
    const char byte = 1;
    [[maybe_unused]] const auto written = write(wakeWrite_.get(), &byte, 1);
}

void ConnectionGate::Admit(Connection connection) {
    Waiting waiting{std::move(connection), Clock::now() + limits_.headTime,
                    IncomingRequest(limits_)};
    Advance(waiting);
    if (waiting.connection.open()) {
        waiting_.push_back(std::move(waiting));
    }
}

void ConnectionGate::ReadWaiting(Waiting& waiting) {
    Connection& connection = waiting.connection;
    char buffer[kReadBytes];
    bool ended = false;  // the client sent all it will, or the connection failed
    for (int i = 0; i < kReadsPerRound; ++i) {
        const ssize_t got = recv(connection.socket(), buffer, sizeof(buffer), 0);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            break;
        }
        if (got <= 0) {
            ended = true;
            break;
        }
        connection.received.append(buffer, static_cast<std::size_t>(got));
        if (static_cast<std::size_t>(got) < sizeof(buffer)) {
            break;
        }
    }
    // A request that came whole is answered even when the client then stopped sending.
    Advance(waiting);
    if (ended) {
        connection.Close();
        return;
    }
    if (connection.open() && waiting.request.progress() == IncomingRequest::Progress::kBody &&
        BufferedBytes() > limits_.maxBufferedBytes) {
        Refuse(waiting, "503 Service Unavailable",
               "too many request bodies are arriving at once; send this one again later");
    }
}

void ConnectionGate::Advance(Waiting& waiting) {
    Connection& connection = waiting.connection;
    IncomingRequest& request = waiting.request;
    const auto before = request.progress();
    switch (request.Update(connection.received)) {
        case IncomingRequest::Progress::kWhole:
            connection.requestBytes = request.size();
            connection.arrived = Clock::now();
            dispatch_(std::move(connection));
            return;
        case IncomingRequest::Progress::kRefused:
            Refuse(waiting, request.refusalStatus(), request.refusalReason());
            return;
        case IncomingRequest::Progress::kBody:
            if (before == IncomingRequest::Progress::kHead) {
                waiting.deadline = Clock::now() + limits_.exchangeTime;
                if (request.continueExpected()) {
                    constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
                    send(connection.socket(), kContinue.data(), kContinue.size(),
                         MSG_NOSIGNAL | MSG_DONTWAIT);
                }
            }
            return;
        case IncomingRequest::Progress::kHead:
            return;
    }
}

void ConnectionGate::Refuse(Waiting& waiting, std::string_view status, const std::string& reason) {
    const std::size_t headBytes = waiting.request.headBytes();
    if (headBytes > 0 && refused_) {
        refused_(std::string_view(waiting.connection.received).substr(0, headBytes), reason);
    }
    TurnAway(waiting.connection, status, reason);
}

std::size_t ConnectionGate::BufferedBytes() const {
    std::size_t total = 0;
    for (const auto& waiting : waiting_) {
        total += waiting.connection.received.size();
    }
    return total;
}

void ConnectionGate::AcceptNew() {
    for (int i = 0; i < kAcceptsPerRound; ++i) {
        FileDescriptor socket(
            accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!socket.valid()) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return;
            }
            const bool outOfDescriptors = errno == EMFILE || errno == ENFILE;
            if (outOfDescriptors && !EvictOldest()) {
                acceptPausedUntil_ = Clock::now() + kAcceptPause;
                return;
            }
            continue;
        }
        if (open_ >= limits_.maxConnections && !EvictOldest()) {
            continue;  // every open connection has a request in hand: this one closes unserved
        }
        const int on = 1;
        // A large answer goes out in several writes; without this, each piece after the first
        // waits for the client's delayed acknowledgement of the one before.
        setsockopt(socket.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        Admit(Connection(std::move(socket), open_));
    }
}

void ConnectionGate::TakeReturned() {
    char bytes[64];
    while (read(wakeRead_.get(), bytes, sizeof(bytes)) > 0) {
    }
    std::vector<Connection> returned;
    {
        const std::lock_guard lock(mutex_);
        returned.swap(returned_);
    }
    for (auto& connection : returned) {
        Admit(std::move(connection));
    }
}

void ConnectionGate::CloseExpired(Clock::time_point now) {
    for (auto& waiting : waiting_) {
        if (waiting.deadline > now) {
            continue;
        }
        const bool body = waiting.request.progress() == IncomingRequest::Progress::kBody;
        const auto limit = body ? limits_.exchangeTime : limits_.headTime;
        Refuse(waiting, "408 Request Timeout",
               std::string("the request's ") + (body ? "body" : "head") +
                   " did not arrive within " + std::to_string(limit.count()) + " ms");
    }
    std::erase_if(waiting_, [](const Waiting& waiting) { return !waiting.connection.open(); });
}

bool ConnectionGate::EvictOldest() {
    if (waiting_.empty()) {
        return false;
    }
    TurnAway(
        waiting_.front().connection, "503 Service Unavailable",
        "too many connections are open; the one that waited longest for its request was closed");
    waiting_.erase(waiting_.begin());
    return true;
}

int ConnectionGate::PollTimeoutMs(Clock::time_point now) const {
    std::optional<Clock::time_point> next;
    for (const auto& waiting : waiting_) {
        if (!next || waiting.deadline < *next) {
            next = waiting.deadline;
        }
    }
    if (now < acceptPausedUntil_ && (!next || acceptPausedUntil_ < *next)) {
        next = acceptPausedUntil_;
    }
    if (!next) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

}  // namespace kesto::sim
