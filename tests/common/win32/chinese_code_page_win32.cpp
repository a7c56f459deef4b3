// The thread's locale on Windows decides its ANSI code page (CP_THREAD_ACP).

#include <windows.h>

#include "tests/common/chinese_code_page.h"

namespace kesto::testing {

struct ChineseCodePage::Saved {
    LCID locale;
};

ChineseCodePage::ChineseCodePage() {
    const LCID previous = GetThreadLocale();
    const LCID chinese =
        MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
    if (!SetThreadLocale(chinese)) {
        return;
    }
    saved_ = std::make_unique<Saved>(Saved{previous});
    CPINFOEXW info{};
    if (!GetCPInfoExW(CP_THREAD_ACP, 0, &info) || info.CodePage != 936) {
        SetThreadLocale(previous);
        saved_.reset();
    }
}

ChineseCodePage::~ChineseCodePage() {
    if (saved_) {
        SetThreadLocale(saved_->locale);
    }
}

}  // namespace kesto::testing
