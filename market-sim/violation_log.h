#pragma once
// Every request the server refused as malformed, with the reason, so that a test can assert
// that a whole job broke no rule of the protocol.

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace kesto::market {

struct Violation {
    std::string host;
    std::string path;
    std::string reason;
};

class ViolationLog {
  public:
    void Record(Violation violation);
    std::vector<Violation> Snapshot() const;
    void Clear();

  private:
    static constexpr std::size_t kMaxEntries = 1000;  // the oldest go first beyond this

    mutable std::mutex mutex_;
    std::vector<Violation> entries_;
};

}  // namespace kesto::market
