#include "market-sim/request_head.h"

#include <array>
#include <string_view>

#include "support/ascii_text.h"

namespace kesto::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeadEnd = "\r\n\r\n";

// The methods whose body the library reads even when the head announces none.
bool ReadsABody(std::string_view method) {
    constexpr std::array<std::string_view, 5> kMethods = {"POST", "PUT", "PATCH", "DELETE", "PRI"};
    for (const std::string_view known : kMethods) {
        if (method == known) {
            return true;
        }
    }
    return false;
}

bool AnnouncesABody(std::string_view head) {
    std::size_t lineStart = head.find(kLineEnd);
    while (lineStart != std::string_view::npos) {
        lineStart += kLineEnd.size();
        const std::string_view line =
            head.substr(lineStart, head.find(kLineEnd, lineStart) - lineStart);
        if (StartsWithIgnoringAsciiCase(line, "content-length:") ||
            StartsWithIgnoringAsciiCase(line, "transfer-encoding:")) {
            return true;
        }
        lineStart = head.find(kLineEnd, lineStart);
    }
    return false;
}

}  // namespace

void DeclareEmptyBodies(std::string& received) {
    const std::size_t headEnd = received.find(kHeadEnd);
    if (headEnd == std::string::npos) {
        return;
    }
    const std::string_view head = std::string_view(received).substr(0, headEnd);
    if (!ReadsABody(head.substr(0, head.find(' '))) || AnnouncesABody(head)) {
        return;
    }
    received.insert(headEnd + kLineEnd.size(), "Content-Length: 0\r\n");
}

}  // namespace kesto::sim
