#include "matcher/pattern_state_table.h"

#include <algorithm>
#include <cstring>

namespace kesto {
namespace {

constexpr std::size_t kFirstBuckets = 1024;
constexpr std::int32_t kHole = -1;

std::size_t Hash(const std::int32_t* state, std::size_t width) {
    std::uint64_t hash = 0x9E3779B97F4A7C15u;
    for (std::size_t i = 0; i < width; ++i) {
        hash = (hash ^ static_cast<std::uint32_t>(state[i])) * 0xFF51AFD7ED558CCDu;
        hash ^= hash >> 29;
    }
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

}  // namespace

PatternStateTable::PatternStateTable(std::size_t width, std::size_t maxBytes)
    : width_(width), maxBuckets_(kFirstBuckets) {
    const std::size_t bucketBytes = kWays * width_ * sizeof(std::int32_t);
    while (maxBuckets_ * 2 <= maxBytes / bucketBytes) {
        maxBuckets_ *= 2;
    }
    bucketCount_ = std::min(kFirstBuckets, maxBuckets_);
    words_.assign(bucketCount_ * kWays * width_, kHole);
}

std::int32_t* PatternStateTable::Bucket(const std::int32_t* state) {
    const std::size_t bucket = Hash(state, width_) & (bucketCount_ - 1);
    return &words_[bucket * kWays * width_];
}

std::int32_t* PatternStateTable::Find(const std::int32_t* state) {
    std::int32_t* entry = Bucket(state);
    for (std::size_t way = 0; way < kWays; ++way, entry += width_) {
        if (std::memcmp(entry, state, width_ * sizeof(std::int32_t)) == 0) {
            return entry;
        }
    }
    return nullptr;
}

bool PatternStateTable::TestAndAdd(const std::int32_t* state) {
    if (Find(state) != nullptr) {
        return true;
    }
    if (count_ >= bucketCount_ * kWays / 2 && bucketCount_ < maxBuckets_) {
        Grow();
    }
    std::int32_t* bucket = Bucket(state);
    const std::size_t entryWords = width_;
    std::int32_t* last = bucket + (kWays - 1) * entryWords;
    if (*last == kHole) {
        ++count_;
    }
    // The newest state goes first; the oldest (or a hole) falls off the end.
    std::memmove(bucket + entryWords, bucket, (kWays - 1) * entryWords * sizeof(std::int32_t));
    std::memcpy(bucket, state, entryWords * sizeof(std::int32_t));
    return false;
}

void PatternStateTable::Remove(const std::int32_t* state) {
    if (std::int32_t* entry = Find(state)) {
        *entry = kHole;
        --count_;
    }
}

void PatternStateTable::Grow() {
    std::vector<std::int32_t> old(bucketCount_ * 2 * kWays * width_, kHole);
    old.swap(words_);
    bucketCount_ *= 2;
    count_ = 0;
    // Oldest first, so that each bucket keeps its newest states first.
    for (std::size_t bucket = 0; bucket < old.size() / (kWays * width_); ++bucket) {
        for (std::size_t way = kWays; way-- > 0;) {
            const std::int32_t* entry = &old[(bucket * kWays + way) * width_];
            if (*entry != kHole) {
                TestAndAdd(entry);
            }
        }
    }
}

}  // namespace kesto
