#pragma once
// The bounds a decoration job keeps to, whatever the template or the marketplace hands it.

#include <chrono>

namespace kesto {

// How long one job may take in all: far beyond a template's few dozen requests and uploads,
// short enough that a stalled marketplace cannot hold the shop owner's job without end.
inline constexpr std::chrono::minutes kJobTimeBound{15};

}  // namespace kesto
