#include "market-sim/violation_log.h"

#include <iostream>

namespace kesto::sim {

void ViolationLog::Record(Violation violation) {
    std::cerr << "kesto-market: refused " << violation.host << violation.path << ": "
              << violation.reason << std::endl;
    log_.Record(std::move(violation));
}

}  // namespace kesto::sim
