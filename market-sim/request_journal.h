#pragma once
// The requests the marketplace's hosts received, in order, with the status each was answered
// with, so that a test can check the order of a job's requests.

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace kesto::market {

struct JournalEntry {
    std::string method;
    std::string host;
    std::string path;
    int status = 0;
};

class RequestJournal {
  public:
    void Record(JournalEntry entry);
    std::vector<JournalEntry> Snapshot() const;
    void Clear();

  private:
    static constexpr std::size_t kMaxEntries = 10000;  // the oldest go first beyond this

    mutable std::mutex mutex_;
    std::vector<JournalEntry> entries_;
};

}  // namespace kesto::market
