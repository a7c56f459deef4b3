#pragma once
// Finds where a chunked request body ends while its bytes are still arriving, without keeping
// more than a position: each call looks only at what came since the last one, however the
// bytes were split. Sizes are checked as each chunk announces itself, so an oversized body is
// refused before its data is read.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kesto::sim {

class ChunkedBody {
  public:
    enum class State { kIncomplete, kComplete, kMalformed, kTooLarge };

    explicit ChunkedBody(std::size_t maxDataBytes) : maxDataBytes_(maxDataBytes) {}

    // Scans `body`: every byte received after the request's head so far (a longer text on each
    // call, starting with the same bytes).
    State Scan(std::string_view body);
    // Bytes of the whole chunked body, its last chunk and final line included, once complete.
    std::size_t size() const { return position_; }

  private:
    enum class Part { kSizeLine, kData, kLastLine };

    // Takes a chunk's size line (hex digits, then optionally ";" and extensions).
    void TakeSizeLine(std::string_view line);

    std::size_t maxDataBytes_;
    std::size_t dataBytes_ = 0;  // announced by the chunks so far
    std::size_t dataLeft_ = 0;   // of the chunk being read
    std::size_t position_ = 0;   // in the body: where the part being read starts
    Part part_ = Part::kSizeLine;
    State state_ = State::kIncomplete;
};

}  // namespace kesto::sim
