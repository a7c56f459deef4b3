#pragma once
// An in-process HTTP server on loopback that records the raw bytes of every request it receives
// and answers each with a canned response, for byte-exact tests of what a client sends.

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/common/loopback_socket.h"

namespace kesto::testing {

struct CapturedRequest {
    std::string head;  // request line and header lines, up to and including the blank line
    std::string body;

    std::string RequestLine() const;
    // The value of the first header with this name (any letter case), without its line end.
    std::optional<std::string> Header(std::string_view name) const;
};

// A whole HTTP/1.1 response with the status and body.
std::string HttpAnswer(int status, std::string_view body);

// The answer, after which the server closes the connection (for answers cut short).
std::string ThenClose(std::string answer);

class CaptureServer {
  public:
    // An answer that makes the server close the connection instead of answering.
    static constexpr std::string_view kCloseWithoutAnswer = "";

    // Answers requests with the given responses in order, repeating the last one.
    explicit CaptureServer(std::vector<std::string> answers = {HttpAnswer(200, "")},
                           bool keepBodies = true);
    ~CaptureServer();
    CaptureServer(const CaptureServer&) = delete;
    CaptureServer& operator=(const CaptureServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(std::string_view path) const;
    std::vector<CapturedRequest> Requests() const;
    std::size_t ConnectionCount() const;

  private:
    void AcceptConnections();
    void Serve(LoopbackSocket connection);
    bool ReceiveMore(const LoopbackSocket& connection, std::string& buffer) const;
    std::string NextAnswer();

    std::vector<std::string> answers_;
    bool keepBodies_;
    LoopbackSocket listening_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<CapturedRequest> requests_;
    std::size_t answered_ = 0;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

}  // namespace kesto::testing
