#include "market-sim/wire_charset.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <utility>

#include "support/ascii_text.h"

namespace kesto::sim {
namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenConverter(const std::string& to, const std::string& from) {
    iconv_t handle = iconv_open(to.c_str(), from.c_str());
    if (handle == reinterpret_cast<iconv_t>(-1)) {
        return nullptr;
    }
    return IconvHandle(handle);
}

// Converts the whole text; a byte that cannot be converted is replaced by "?" when lenient and
// ends the conversion otherwise.
std::optional<std::string> Convert(const std::string& to, const std::string& from,
                                   std::string_view text, bool lenient) {
    const auto converter = OpenConverter(to, from);
    if (!converter) {
        return std::nullopt;
    }
    std::string input(text);
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::string output;
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof(buffer);
        const std::size_t done =
            iconv(static_cast<iconv_t>(converter.get()), &in, &inLeft, &out, &outLeft);
        output.append(buffer, sizeof(buffer) - outLeft);
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            if (!lenient) {
                return std::nullopt;
            }
            output += '?';
            ++in;
            --inLeft;
        }
    }
    return output;
}

}  // namespace

WireCharset::WireCharset(std::string name) : name_(std::move(name)) {}

bool WireCharset::IsUtf8() const {
    const std::string lower = AsciiLower(name_);
    return lower == "utf-8" || lower == "utf8";
}

bool WireCharset::IsSupported() const {
    return IsUtf8() || OpenConverter(name_, "UTF-8") != nullptr;
}

std::string WireCharset::ToWire(std::string_view utf8) const {
    if (IsUtf8()) {
        return std::string(utf8);
    }
    return Convert(name_, "UTF-8", utf8, true).value_or(std::string(utf8));
}

std::optional<std::string> WireCharset::FromWire(std::string_view wire) const {
    if (IsUtf8()) {
        return std::string(wire);
    }
    return Convert("UTF-8", name_, wire, false);
}

}  // namespace kesto::sim
