#pragma once
// A list of records that several server threads append to and tests read: the newest
// MaxEntries are kept (the oldest go first), so memory stays bounded however long it runs.

#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

namespace kesto::sim {

template <typename Entry, std::size_t MaxEntries>
class BoundedLog {
  public:
    void Record(Entry entry) {
        const std::lock_guard lock(mutex_);
        if (entries_.size() >= MaxEntries) {
            entries_.pop_front();
        }
        entries_.push_back(std::move(entry));
    }

    std::vector<Entry> Snapshot() const {
        const std::lock_guard lock(mutex_);
        return std::vector<Entry>(entries_.begin(), entries_.end());
    }

    void Clear() {
        const std::lock_guard lock(mutex_);
        entries_.clear();
    }

  private:
    mutable std::mutex mutex_;
    std::deque<Entry> entries_;
};

}  // namespace kesto::sim
