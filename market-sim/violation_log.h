#pragma once
// Every request the server refused as malformed, with the reason, so that a test can assert
// that a whole job broke no rule of the protocol.

#include <string>
#include <vector>

#include "market-sim/bounded_log.h"

namespace kesto::sim {

struct Violation {
    std::string host;
    std::string path;
    std::string reason;
};

class ViolationLog {
  public:
    // Records the refusal and reports it on standard error.
    void Record(Violation violation);
    std::vector<Violation> Snapshot() const { return log_.Snapshot(); }
    void Clear() { log_.Clear(); }

  private:
    BoundedLog<Violation, 1000> log_;
};

}  // namespace kesto::sim
