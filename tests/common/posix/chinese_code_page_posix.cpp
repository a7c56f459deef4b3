// The thread's locale on POSIX systems decides the codeset the text layer takes as its ANSI
// code page; a locale of the asked codeset is used when the system has one installed.

#include <locale.h>

#include "tests/common/chinese_code_page.h"

namespace kesto::testing {

namespace {

// The locales that have each code page as their codeset, as glibc names them.
struct CodePageLocales {
    unsigned number;
    const char* names[2];
};
constexpr CodePageLocales kLocales[] = {
    {936, {"zh_CN.GBK", "zh_CN.gbk"}},
    {950, {"zh_TW.BIG5", "zh_TW.big5"}},
    {1252, {"en_US.CP1252", "en_US.cp1252"}},
};

}  // namespace

struct ThreadCodePage::Saved {
    locale_t previous;
    locale_t chosen;
};

ThreadCodePage::ThreadCodePage(unsigned number) {
    for (const CodePageLocales& locales : kLocales) {
        if (locales.number != number) {
            continue;
        }
        for (const char* name : locales.names) {
            const locale_t chosen = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
            if (chosen != static_cast<locale_t>(nullptr)) {
                saved_ = std::make_unique<Saved>(Saved{uselocale(chosen), chosen});
                return;
            }
        }
    }
}

ThreadCodePage::~ThreadCodePage() {
    if (saved_) {
        uselocale(saved_->previous);
        freelocale(saved_->chosen);
    }
}

}  // namespace kesto::testing
