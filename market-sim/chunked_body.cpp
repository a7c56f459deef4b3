#include "market-sim/chunked_body.h"

#include "market-sim/text_pieces.h"

namespace kesto::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// A size line longer than this is refused: sizes fit in 16 hex digits, extensions are not used.
constexpr std::size_t kMaxLineBytes = 1024;

}  // namespace

ChunkedBody::State ChunkedBody::Scan(std::string_view body) {
    while (state_ == State::kIncomplete) {
        if (part_ == Part::kData) {
            // The chunk's data, then the line end that closes it.
            if (body.size() - position_ < dataLeft_ + kLineEnd.size()) {
                return state_;
            }
            if (body.substr(position_ + dataLeft_, kLineEnd.size()) != kLineEnd) {
                state_ = State::kMalformed;
                break;
            }
            position_ += dataLeft_ + kLineEnd.size();
            part_ = Part::kSizeLine;
            continue;
        }
        const std::size_t lineEnd = body.find(kLineEnd, position_);
        if (lineEnd == std::string_view::npos) {
            if (body.size() - position_ > kMaxLineBytes) {
                state_ = State::kMalformed;
            }
            return state_;
        }
        const std::string_view line = body.substr(position_, lineEnd - position_);
        position_ = lineEnd + kLineEnd.size();
        if (part_ == Part::kLastLine) {
            // Trailer fields are not taken: the last chunk is followed by the final line end.
            state_ = line.empty() ? State::kComplete : State::kMalformed;
        } else {
            TakeSizeLine(line);
        }
    }
    return state_;
}

void ChunkedBody::TakeSizeLine(std::string_view line) {
    std::size_t digits = 0;
    std::uint64_t size = 0;
    for (; digits < line.size() && HexValue(line[digits]) >= 0; ++digits) {
        if (size > maxDataBytes_) {
            break;  // already too large; more digits would only overflow
        }
        size = size * 16 + static_cast<std::uint64_t>(HexValue(line[digits]));
    }
    const bool wellFormed =
        digits > 0 && (digits == line.size() || line[digits] == ';' || size > maxDataBytes_);
    if (!wellFormed) {
        state_ = State::kMalformed;
    } else if (size > maxDataBytes_ - dataBytes_) {
        state_ = State::kTooLarge;
    } else if (size == 0) {
        part_ = Part::kLastLine;
    } else {
        dataBytes_ += size;
        dataLeft_ = size;
        part_ = Part::kData;
    }
}

}  // namespace kesto::sim
