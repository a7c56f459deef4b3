#include "market-sim/request_head.h"

#include <limits>

#include "support/ascii_text.h"

namespace kesto::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The number of a Content-Length value: digits only; UINT64_MAX when it does not fit.
bool ParseLength(std::string_view value, std::uint64_t& length) {
    if (value.empty()) {
        return false;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    length = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') {
            return false;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        length = length > (kMax - digit) / 10 ? kMax : length * 10 + digit;
    }
    return true;
}

// The header fields that frame a body, as found in the head's lines.
struct FramingFields {
    int lengths = 0;
    int encodings = 0;
    std::string_view length;
    std::string_view encoding;
    bool continueExpected = false;
    std::string problem;
};

void TakeLine(std::string_view line, FramingFields& fields) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return;  // not a header field; the library refuses it
    }
    const std::string_view rawName = line.substr(0, colon);
    const std::string_view name = TrimmedAscii(rawName);
    const std::string_view value = TrimmedAscii(line.substr(colon + 1));
    const bool length = EqualIgnoringAsciiCase(name, "content-length");
    const bool encoding = EqualIgnoringAsciiCase(name, "transfer-encoding");
    if ((length || encoding) && name.size() != rawName.size()) {
        fields.problem = "white space around the name of a " + std::string(name) + " header";
    } else if (length) {
        ++fields.lengths;
        fields.length = value;
    } else if (encoding) {
        ++fields.encodings;
        fields.encoding = value;
    } else if (EqualIgnoringAsciiCase(name, "expect")) {
        fields.continueExpected = EqualIgnoringAsciiCase(value, "100-continue");
    }
}

BodyFraming Refused(std::string problem) {
    BodyFraming framing;
    framing.kind = BodyFraming::Kind::kRefused;
    framing.problem = "the request's body is framed ambiguously: " + std::move(problem);
    return framing;
}

// Whether every CR and LF in the head is part of a CR LF pair. The HTTP library skips a line
// that ends in a bare LF, where another reader would take it, and with it a framing header.
bool LinesEndInCrLf(std::string_view head) {
    for (std::size_t i = head.find_first_of("\r\n"); i != std::string_view::npos;
         i = head.find_first_of("\r\n", i + 2)) {
        if (head[i] != '\r' || i + 1 == head.size() || head[i + 1] != '\n') {
            return false;
        }
    }
    return true;
}

}  // namespace

BodyFraming FrameOfBody(std::string_view head) {
    if (!LinesEndInCrLf(head)) {
        return Refused("a line of the head ends in a bare CR or LF");
    }
    FramingFields fields;
    std::size_t lineStart = head.find(kLineEnd);  // past the request line
    while (lineStart != std::string_view::npos && fields.problem.empty()) {
        lineStart += kLineEnd.size();
        const std::size_t lineEnd = head.find(kLineEnd, lineStart);
        TakeLine(head.substr(lineStart, lineEnd - lineStart), fields);
        lineStart = lineEnd;
    }
    if (!fields.problem.empty()) {
        return Refused(std::move(fields.problem));
    }
    if (fields.lengths > 0 && fields.encodings > 0) {
        return Refused("both Content-Length and Transfer-Encoding");
    }
    if (fields.lengths > 1 || fields.encodings > 1) {
        return Refused(fields.lengths > 1 ? "more than one Content-Length"
                                          : "more than one Transfer-Encoding");
    }
    BodyFraming framing;
    framing.continueExpected = fields.continueExpected;
    if (fields.encodings == 1) {
        if (!EqualIgnoringAsciiCase(fields.encoding, "chunked")) {
            return Refused("Transfer-Encoding \"" + std::string(fields.encoding) +
                           "\", not chunked alone");
        }
        framing.kind = BodyFraming::Kind::kChunked;
    } else if (fields.lengths == 1) {
        if (!ParseLength(fields.length, framing.length)) {
            return Refused("Content-Length \"" + std::string(fields.length) +
                           "\" is not a decimal number");
        }
        framing.kind = BodyFraming::Kind::kLength;
    }
    return framing;
}

}  // namespace kesto::sim
