#include "market/login_cookies.h"

#include "support/ascii_text.h"

namespace kesto {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Whether a cookie name can begin at this position: the text's start, or a ";" followed by
// nothing but blanks. This keeps "uin" from matching the end of "ptui_loginuin" or the inside
// of another cookie's value.
bool StartsCookieName(std::string_view text, std::size_t position) {
    while (position > 0 && IsBlank(text[position - 1])) {
        --position;
    }
    return position == 0 || text[position - 1] == ';';
}

}  // namespace

std::string GetCookieValue(std::string_view cookieText, std::string_view name) {
    const std::string key = std::string(name) + "=";
    for (std::size_t found = cookieText.find(key); found != std::string_view::npos;
         found = cookieText.find(key, found + 1)) {
        if (!StartsCookieName(cookieText, found)) {
            continue;
        }
        const std::size_t begin = found + key.size();
        const std::size_t end = cookieText.find(';', begin);
        return std::string(cookieText.substr(
            begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
    }
    return {};
}

std::string ReadUserNumber(std::string_view cookieText) {
    std::string loginNumber = GetCookieValue(cookieText, "ptui_loginuin");
    if (!loginNumber.empty()) {
        return loginNumber;
    }
    // The "uin" cookie writes the number with a letter "o" in place of a leading "10".
    std::string number;
    for (const char c : GetCookieValue(cookieText, "uin")) {
        number += c == 'o' ? std::string("10") : std::string(1, c);
    }
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (IsAsciiDigit(number[i])) {
            return number.substr(i);
        }
    }
    return number;
}

}  // namespace kesto
