#pragma once
// Follows one request while its bytes arrive on a connection: finds the end of its head, judges
// how the head frames the body, then finds the end of the body. A request is handed to a worker
// only once it is whole, so a client that sends slowly holds a poll entry, never a worker.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "market-sim/chunked_body.h"
#include "market-sim/connection_limits.h"

namespace kesto::sim {

class IncomingRequest {
  public:
    enum class Progress { kHead, kBody, kWhole, kRefused };

    explicit IncomingRequest(const ConnectionLimits& limits) : limits_(&limits) {}

    // Looks at the bytes received so far on the connection: the request's first bytes, and on
    // each later call the same bytes and more.
    Progress Update(const std::string& received);

    Progress progress() const { return progress_; }
    // Bytes of the head, with the empty line that ends it, once it has arrived; else 0.
    std::size_t headBytes() const { return headBytes_; }
    // Bytes of the whole request (head and body), once kWhole.
    std::size_t size() const { return size_; }
    // Whether the client waits for "100 Continue" before sending the body.
    bool continueExpected() const { return continueExpected_; }
    // Why it was refused: the status line's code and text, and the reason.
    std::string_view refusalStatus() const { return refusalStatus_; }
    const std::string& refusalReason() const { return refusalReason_; }

  private:
    void FindHead(const std::string& received);
    void FindBodyEnd(const std::string& received);
    void Refuse(std::string_view status, std::string reason);

    const ConnectionLimits* limits_;  // the server's; a pointer keeps this movable
    Progress progress_ = Progress::kHead;
    std::size_t searched_ = 0;  // bytes already searched for the head's end
    std::size_t headBytes_ = 0;
    std::size_t size_ = 0;  // once the length is known
    std::optional<ChunkedBody> chunked_;
    bool continueExpected_ = false;
    std::string_view refusalStatus_;
    std::string refusalReason_;
};

}  // namespace kesto::sim
