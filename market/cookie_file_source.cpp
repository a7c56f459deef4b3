#include "market/cookie_file_source.h"

#include <ctime>
#include <utility>

namespace kesto {

CookieFileSource::CookieFileSource(std::string path, std::string cookieDomain)
    : path_(std::move(path)), cookieDomain_(std::move(cookieDomain)) {}

std::optional<std::string> CookieFileSource::GetCookie() {
    std::string content;
    if (ReadCookieFile(path_, content) != FileReadResult::kRead) {
        return std::nullopt;
    }
    std::string text = CookieTextFromFile(content, cookieDomain_, std::time(nullptr));
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

}  // namespace kesto
