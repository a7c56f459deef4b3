#include "market-sim/request_journal.h"

namespace kesto::market {

void RequestJournal::Record(JournalEntry entry) {
    const std::lock_guard lock(mutex_);
    if (entries_.size() >= kMaxEntries) {
        entries_.erase(entries_.begin());
    }
    entries_.push_back(std::move(entry));
}

std::vector<JournalEntry> RequestJournal::Snapshot() const {
    const std::lock_guard lock(mutex_);
    return entries_;
}

void RequestJournal::Clear() {
    const std::lock_guard lock(mutex_);
    entries_.clear();
}

}  // namespace kesto::market
