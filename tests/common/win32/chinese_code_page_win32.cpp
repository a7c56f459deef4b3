// The thread's locale on Windows decides its ANSI code page (CP_THREAD_ACP).

#include <windows.h>

#include "tests/common/chinese_code_page.h"

namespace kesto::testing {

namespace {

// A language whose ANSI code page is the number, or 0.
LANGID LanguageOf(unsigned number) {
    switch (number) {
        case 936:
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
        case 950:
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
        case 1252:
            return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
        default:
            return 0;
    }
}

}  // namespace

struct ThreadCodePage::Saved {
    LCID locale;
};

ThreadCodePage::ThreadCodePage(unsigned number) {
    const LANGID language = LanguageOf(number);
    const LCID previous = GetThreadLocale();
    if (language == 0 || !SetThreadLocale(MAKELCID(language, SORT_DEFAULT))) {
        return;
    }
    saved_ = std::make_unique<Saved>(Saved{previous});
    CPINFOEXW info{};
    if (!GetCPInfoExW(CP_THREAD_ACP, 0, &info) || info.CodePage != number) {
        SetThreadLocale(previous);
        saved_.reset();
    }
}

ThreadCodePage::~ThreadCodePage() {
    if (saved_) {
        SetThreadLocale(saved_->locale);
    }
}

}  // namespace kesto::testing
