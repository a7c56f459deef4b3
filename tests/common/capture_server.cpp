#include "tests/common/capture_server.h"

#include <algorithm>
#include <cstdlib>

#include "support/ascii_text.h"

namespace kesto::testing {

namespace {

constexpr int kPollMs = 50;
constexpr std::string_view kHeadEnd = "\r\n\r\n";
// Ends an answer after which the connection is closed; no answer holds it.
constexpr std::string_view kCloseMarker{"\0\0close\0\0", 9};

bool SameNoCase(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

std::size_t ContentLength(const CapturedRequest& request) {
    const std::optional<std::string> length = request.Header("Content-Length");
    return length ? static_cast<std::size_t>(std::strtoull(length->c_str(), nullptr, 10)) : 0;
}

}  // namespace

std::string CapturedRequest::RequestLine() const {
    return head.substr(0, head.find("\r\n"));
}

std::optional<std::string> CapturedRequest::Header(std::string_view name) const {
    std::string_view rest = head;
    rest.remove_prefix(std::min(rest.size(), rest.find("\r\n") + 2));
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        const std::string_view line = rest.substr(0, end);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && SameNoCase(line.substr(0, colon), name)) {
            std::string_view value = line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') {
                value.remove_prefix(1);
            }
            return std::string(value);
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 2);
    }
    return std::nullopt;
}

std::string HttpAnswer(int status, std::string_view body) {
    return "HTTP/1.1 " + std::to_string(status) +
           " Answer\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nContent-Type: text/html\r\n\r\n" + std::string(body);
}

std::string ThenClose(std::string answer) {
    return answer.append(kCloseMarker);
}

CaptureServer::CaptureServer(std::vector<std::string> answers, bool keepBodies)
    : answers_(std::move(answers)), keepBodies_(keepBodies), listening_(LoopbackSocket::Listen()) {
    port_ = listening_.LocalPort();
    acceptor_ = std::thread([this] { AcceptConnections(); });
}

CaptureServer::~CaptureServer() {
    stopping_ = true;
    acceptor_.join();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

std::string CaptureServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<CapturedRequest> CaptureServer::Requests() const {
    const std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
}

std::size_t CaptureServer::ConnectionCount() const {
    const std::lock_guard<std::mutex> guard(mutex_);
    return workers_.size();
}

void CaptureServer::AcceptConnections() {
    while (!stopping_) {
        LoopbackSocket connection = listening_.Accept(kPollMs);
        if (connection.valid()) {
            const std::lock_guard<std::mutex> guard(mutex_);
            workers_.emplace_back(
                [this, accepted = std::move(connection)]() mutable { Serve(std::move(accepted)); });
        }
    }
}

bool CaptureServer::ReceiveMore(const LoopbackSocket& connection, std::string& buffer) const {
    char piece[65536];
    while (!stopping_) {
        const long received = connection.Receive(piece, sizeof piece, kPollMs);
        if (received == LoopbackSocket::kTimedOut) {
            continue;
        }
        if (received <= 0) {
            return false;
        }
        buffer.append(piece, static_cast<std::size_t>(received));
        return true;
    }
    return false;
}

void CaptureServer::Serve(LoopbackSocket connection) {
    std::string buffer;
    while (true) {
        std::size_t headEnd;
        while ((headEnd = buffer.find(kHeadEnd)) == std::string::npos) {
            if (!ReceiveMore(connection, buffer)) {
                return;
            }
        }
        CapturedRequest request;
        request.head = buffer.substr(0, headEnd + kHeadEnd.size());
        buffer.erase(0, request.head.size());
        const std::size_t length = ContentLength(request);
        // As every HTTP/1.1 server must, a request asking to close its connection is the last.
        const std::optional<std::string> connectionOption = request.Header("Connection");
        const bool lastRequest =
            connectionOption && AsciiLower(*connectionOption).find("close") != std::string::npos;
        for (std::size_t taken = 0;;) {
            const std::size_t use = std::min(buffer.size(), length - taken);
            if (keepBodies_) {
                request.body.append(buffer, 0, use);
            }
            buffer.erase(0, use);
            taken += use;
            if (taken == length) {
                break;
            }
            if (!ReceiveMore(connection, buffer)) {
                return;
            }
        }
        const std::string answer = [&] {
            const std::lock_guard<std::mutex> guard(mutex_);
            requests_.push_back(std::move(request));
            if (answers_.empty()) {
                return HttpAnswer(200, "");
            }
            return answers_[std::min(answered_++, answers_.size() - 1)];
        }();
        const bool close = answer.ends_with(kCloseMarker);
        const std::string_view sent =
            std::string_view(answer).substr(0, answer.size() - (close ? kCloseMarker.size() : 0));
        if (sent.empty() || !connection.SendAll(sent) || close || lastRequest) {
            return;
        }
    }
}

}  // namespace kesto::testing
