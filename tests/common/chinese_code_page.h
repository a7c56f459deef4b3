#pragma once
// Puts the calling thread on an ANSI code page for as long as the object lives, where the system
// offers it: on Windows through the thread's locale, on POSIX systems through a locale of that
// codeset when one is installed. ChineseCodePage is the Simplified Chinese one (936, GBK): text
// that is converted to the ANSI code page twice differs from text converted once only on such a
// code page.

#include <memory>

namespace kesto::testing {

class ThreadCodePage {
  public:
    // 936 (Simplified Chinese, GBK), 950 (Traditional Chinese, Big5) or 1252 (Western).
    explicit ThreadCodePage(unsigned number);
    ~ThreadCodePage();
    ThreadCodePage(const ThreadCodePage&) = delete;
    ThreadCodePage& operator=(const ThreadCodePage&) = delete;

    // Whether the thread's ANSI code page is the one asked for now.
    bool Active() const { return saved_ != nullptr; }

  private:
    struct Saved;  // what the thread had before, in the system's own terms
    std::unique_ptr<Saved> saved_;
};

class ChineseCodePage : public ThreadCodePage {
  public:
    ChineseCodePage() : ThreadCodePage(936) {}
};

}  // namespace kesto::testing
