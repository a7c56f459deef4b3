#include "market-sim/session_cookies.h"

#include "support/ascii_text.h"

namespace kesto::sim {
namespace {

// The white space a cookie header's pieces are trimmed of.
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

std::string_view Trim(std::string_view text) {
    return TrimmedAscii(text, kWhiteSpace);
}

}  // namespace

std::map<std::string, std::string> ParseCookieHeader(std::string_view header) {
    std::map<std::string, std::string> cookies;
    while (!header.empty()) {
        const auto end = header.find(';');
        const std::string_view piece = Trim(header.substr(0, end));
        const auto equals = piece.find('=');
        if (equals != std::string_view::npos) {
            cookies.emplace(std::string(Trim(piece.substr(0, equals))),
                            std::string(Trim(piece.substr(equals + 1))));
        }
        if (end == std::string_view::npos) {
            break;
        }
        header.remove_prefix(end + 1);
    }
    return cookies;
}

std::string EncodeUinCookie(std::string_view userNumber) {
    return "o" + std::string(userNumber.substr(2));
}

std::string DecodeUinCookie(std::string_view cookie) {
    std::string number;
    for (const char c : cookie) {
        number += c == 'o' ? std::string("10") : std::string(1, c);
    }
    const auto firstDigit = number.find_first_of("0123456789");
    if (firstDigit == std::string::npos) {
        return {};
    }
    number.erase(0, firstDigit);
    return IsAsciiDigits(number) ? number : std::string();
}

}  // namespace kesto::sim
