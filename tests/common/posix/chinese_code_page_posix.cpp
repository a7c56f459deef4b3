// The thread's locale on POSIX systems decides the codeset the text layer takes as its ANSI
// code page; a GBK locale is used when the system has one installed.

#include <locale.h>

#include "tests/common/chinese_code_page.h"

namespace kesto::testing {

struct ChineseCodePage::Saved {
    locale_t previous;
    locale_t chinese;
};

ChineseCodePage::ChineseCodePage() {
    for (const char* name : {"zh_CN.GBK", "zh_CN.gbk"}) {
        const locale_t chinese = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
        if (chinese != static_cast<locale_t>(nullptr)) {
            saved_ = std::make_unique<Saved>(Saved{uselocale(chinese), chinese});
            return;
        }
    }
}

ChineseCodePage::~ChineseCodePage() {
    if (saved_) {
        uselocale(saved_->previous);
        freelocale(saved_->chinese);
    }
}

}  // namespace kesto::testing
