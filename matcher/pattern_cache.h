#pragma once
// Prepared patterns kept for reuse, so that a pattern looked up again and again is compiled
// and analysed once per process. Bounded: it keeps the most recently used patterns, at most
// kMaxEntries of them and kMaxInstructions instructions in all. Safe to use from several
// threads; the patterns it hands out never change, so callers run them without holding it.

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "matcher/pattern_machine.h"
#include "matcher/pattern_program.h"

namespace kesto {

class PatternCache {
  public:
    static constexpr std::size_t kMaxEntries = 64;
    static constexpr std::size_t kMaxInstructions = std::size_t{1} << 20;

    // The pattern compiled in that mode (the compile error is in its program's lastError), or
    // null when memory runs out.
    std::shared_ptr<const PreparedPattern> Get(std::u16string_view pattern, CaseMode mode);

  private:
    struct Entry {
        std::u16string pattern;
        CaseMode mode;
        std::shared_ptr<const PreparedPattern> prepared;
    };

    static bool Same(const Entry& entry, std::u16string_view pattern, CaseMode mode);
    std::shared_ptr<const PreparedPattern> Find(std::u16string_view pattern, CaseMode mode);
    void Keep(Entry entry);

    std::mutex mutex_;
    std::vector<Entry> entries_;  // the most recently used first
    std::size_t instructions_ = 0;
};

// The process's cache, which FindCaptures uses.
PatternCache& SharedPatternCache();

}  // namespace kesto
