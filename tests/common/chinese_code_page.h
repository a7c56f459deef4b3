#pragma once
// Puts the calling thread on the Simplified Chinese ANSI code page (936, GBK) for as long as the
// object lives, where the system offers it: on Windows through the thread's locale, on POSIX
// systems through a GBK locale when one is installed. Text that is converted to the ANSI code
// page twice differs from text converted once only on such a code page.

#include <memory>

namespace kesto::testing {

class ChineseCodePage {
  public:
    ChineseCodePage();
    ~ChineseCodePage();
    ChineseCodePage(const ChineseCodePage&) = delete;
    ChineseCodePage& operator=(const ChineseCodePage&) = delete;

    // Whether the thread's ANSI code page is GBK now.
    bool Active() const { return saved_ != nullptr; }

  private:
    struct Saved;  // what the thread had before, in the system's own terms
    std::unique_ptr<Saved> saved_;
};

}  // namespace kesto::testing
