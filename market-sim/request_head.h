#pragma once
// How a request's head frames the body that follows it, judged strictly: a head that two readers
// could frame differently (the way one request is hidden inside another) is refused.

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto::sim {

struct BodyFraming {
    enum class Kind {
        kNone,     // neither Content-Length nor Transfer-Encoding: no body (RFC 9112, 6.3)
        kLength,   // one Content-Length, a plain decimal number
        kChunked,  // Transfer-Encoding: chunked alone
        kRefused,  // anything else; `problem` says what
    };
    Kind kind = Kind::kNone;
    std::uint64_t length = 0;       // for kLength; UINT64_MAX when the number does not fit
    bool continueExpected = false;  // "Expect: 100-continue": the client waits before its body
    std::string problem;
};

// Frames the body of the request whose head (request line and header lines, without the empty
// line that ends it) this is. Refused: more than one Content-Length (equal or not), Content-Length
// together with Transfer-Encoding, a Content-Length that is not just digits, any transfer coding
// but a single "chunked", white space between a framing header's name and its colon, and a CR
// or LF that is not part of a line end (CR LF).
BodyFraming FrameOfBody(std::string_view head);

}  // namespace kesto::sim
