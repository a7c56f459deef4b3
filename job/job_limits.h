#pragma once
// The bounds a decoration job keeps to, whatever the template or the marketplace hands it.

#include <chrono>
#include <cstdint>

namespace kesto {

// The most a main page text file may hold: the saved text of a shop's main page is a few
// kilobytes, and a file without end (a device) must not grow memory without limit.
inline constexpr std::uintmax_t kPageTextLimitBytes = std::uintmax_t{1} << 20;

// How long one job may take in all: far beyond a template's few dozen requests and uploads,
// short enough that a stalled marketplace cannot hold the shop owner's job without end.
inline constexpr std::chrono::minutes kJobTimeBound{15};

}  // namespace kesto
