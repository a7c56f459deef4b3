#pragma once
// A bounded set of pattern-machine states for the memo (pattern_memo.h). A state is a fixed
// number of 32-bit words whose first word is never negative. States live in buckets of four;
// the table doubles while it is small, and at its size cap a full bucket forgets its oldest
// state. Forgetting is always safe for a memo of failed states: a forgotten state is only
// explored again.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kesto {

class PatternStateTable {
  public:
    // States of `width` words (at least 1), in at most about maxBytes. Throws std::bad_alloc.
    PatternStateTable(std::size_t width, std::size_t maxBytes);

    // True when the state is in the table; adds it otherwise.
    bool TestAndAdd(const std::int32_t* state);
    void Remove(const std::int32_t* state);

  private:
    static constexpr std::size_t kWays = 4;

    std::int32_t* Bucket(const std::int32_t* state);
    std::int32_t* Find(const std::int32_t* state);
    void Grow();

    std::size_t width_;
    std::size_t maxBuckets_;
    std::size_t bucketCount_ = 0;
    std::size_t count_ = 0;
    std::vector<std::int32_t> words_;  // bucket by bucket, newest state first; -1 marks a hole
};

}  // namespace kesto
