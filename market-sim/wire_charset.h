#pragma once
// The character set of the protocol's text on the wire. The client sends and reads text in its
// ANSI code page (UTF-8 on Linux, GBK on a Chinese Windows), so the server can be told which
// one to speak; internally all text is UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace kesto::sim {

class WireCharset {
  public:
    // "UTF-8" (the default) or any name iconv knows, such as "GBK".
    explicit WireCharset(std::string name = "UTF-8");

    // True when iconv can convert between the set and UTF-8.
    bool IsSupported() const;
    const std::string& Name() const { return name_; }
    // UTF-8 to the wire; characters the set lacks become "?".
    std::string ToWire(std::string_view utf8) const;
    // The wire to UTF-8; no value when the bytes are not valid in the set.
    std::optional<std::string> FromWire(std::string_view wire) const;

  private:
    bool IsUtf8() const;

    std::string name_;
};

}  // namespace kesto::sim
