#include "market-sim/violation_log.h"

#include <iostream>

namespace kesto::market {

void ViolationLog::Record(Violation violation) {
    std::cerr << "kesto-market: refused " << violation.host << violation.path << ": "
              << violation.reason << std::endl;
    const std::lock_guard lock(mutex_);
    if (entries_.size() >= kMaxEntries) {
        entries_.erase(entries_.begin());
    }
    entries_.push_back(std::move(violation));
}

std::vector<Violation> ViolationLog::Snapshot() const {
    const std::lock_guard lock(mutex_);
    return entries_;
}

void ViolationLog::Clear() {
    const std::lock_guard lock(mutex_);
    entries_.clear();
}

}  // namespace kesto::market
