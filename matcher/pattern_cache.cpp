#include "matcher/pattern_cache.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "matcher/pattern_compiler.h"

namespace kesto {
namespace {

// Compared as bytes: the library's char16_t comparison goes unit by unit.
bool SameText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

}  // namespace

bool PatternCache::Same(const Entry& entry, std::u16string_view pattern, CaseMode mode) {
    return entry.mode == mode && SameText(entry.pattern, pattern);
}

std::shared_ptr<const PreparedPattern> PatternCache::Get(std::u16string_view pattern,
                                                         CaseMode mode) {
    if (std::shared_ptr<const PreparedPattern> found = Find(pattern, mode)) {
        return found;
    }
    // Compiled without holding the lock: other threads keep matching meanwhile. Two threads
    // may compile the same pattern at once; the cache then keeps one of the two.
    try {
        PatternProgram program;
        CompilePattern(pattern, mode, program);
        auto prepared = std::make_shared<const PreparedPattern>(std::move(program));
        Keep({std::u16string(pattern), mode, prepared});
        return prepared;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::shared_ptr<const PreparedPattern> PatternCache::Find(std::u16string_view pattern,
                                                          CaseMode mode) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const Entry& entry) { return Same(entry, pattern, mode); });
    if (found == entries_.end()) {
        return nullptr;
    }
    std::rotate(entries_.begin(), found, found + 1);  // now the most recently used
    return entries_.front().prepared;
}

void PatternCache::Keep(Entry entry) {
    const std::size_t size = entry.prepared->Program().code.size();
    if (size > kMaxInstructions) {
        return;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto same = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& kept) {
        return Same(kept, entry.pattern, entry.mode);
    });
    if (same != entries_.end()) {
        return;  // another thread kept it first
    }
    while (!entries_.empty() &&
           (entries_.size() >= kMaxEntries || instructions_ + size > kMaxInstructions)) {
        instructions_ -= entries_.back().prepared->Program().code.size();
        entries_.pop_back();
    }
    entries_.insert(entries_.begin(), std::move(entry));
    instructions_ += size;
}

PatternCache& SharedPatternCache() {
    static PatternCache cache;
    return cache;
}

}  // namespace kesto
