// The text layer on POSIX systems: iconv, with the codeset of the calling thread's locale as the
// ANSI code page.

#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/code_page.h"

namespace kesto {

namespace {

std::string ThreadCodeset() {
    const locale_t current = uselocale(static_cast<locale_t>(nullptr));
    const char* codeset =
        current == LC_GLOBAL_LOCALE ? nl_langinfo(CODESET) : nl_langinfo_l(CODESET, current);
    const std::string name = codeset != nullptr ? codeset : "";
    // The C/POSIX locale only knows ASCII; its text would lose every Chinese character.
    if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII") {
        return "UTF-8";
    }
    return name;
}

std::string CodesetName(CodePage page) {
    switch (page) {
        case CodePage::Gbk:
            return "GBK";
        case CodePage::Utf8:
            return "UTF-8";
        case CodePage::ThreadAnsi:
        case CodePage::Marketplace:
            break;
    }
    return ThreadCodeset();
}

class Converter {
  public:
    Converter(const std::string& to, const std::string& from)
        : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (valid()) {
            iconv_close(handle_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; an unconvertible or invalid sequence of `skip(input)` bytes is
    // replaced with `replacement`.
    template <typename Skip>
    std::string Convert(std::string_view input, std::string_view replacement, Skip skip) {
        std::string output;
        char buffer[4096];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                output += replacement;
                const std::size_t skipped = std::min(inLeft, skip(std::string_view(in, inLeft)));
                in += skipped;
                inLeft -= skipped;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(handle_, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        return output;
    }

  private:
    iconv_t handle_;
};

// Length of the UTF-8 character starting the text, at least 1.
std::size_t Utf8CharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return i;
        }
    }
    return length;
}

}  // namespace

std::string EncodeText(std::string_view utf8, CodePage page) {
    Converter converter(CodesetName(page), "UTF-8");
    if (!converter.valid()) {
        return std::string(utf8);
    }
    return converter.Convert(utf8, "?", Utf8CharacterLength);
}

std::string DecodeText(std::string_view bytes, CodePage page) {
    Converter converter("UTF-8", CodesetName(page));
    if (!converter.valid()) {
        return std::string(bytes);
    }
    return converter.Convert(bytes, "\xEF\xBF\xBD",
                             [](std::string_view) -> std::size_t { return 1; });
}

std::string CodePageName(CodePage page) {
    return CodesetName(page);
}

}  // namespace kesto
