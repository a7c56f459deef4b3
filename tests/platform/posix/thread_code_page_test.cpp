// On POSIX systems the ANSI code page is the codeset of the calling thread's locale, and the
// marketplace's texts travel in it too (kesto-market speaks UTF-8 by default).

#include <gtest/gtest.h>
#include <locale.h>

#include "platform/code_page.h"
#include "support/text_conversion.h"

namespace kesto {
namespace {

// Switches the calling thread to a locale for the life of the object.
class ScopedThreadLocale {
  public:
    explicit ScopedThreadLocale(const char* name)
        : locale_(newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr))),
          previous_(locale_ != nullptr ? uselocale(locale_) : nullptr) {}
    ~ScopedThreadLocale() {
        if (locale_ != nullptr) {
            uselocale(previous_);
            freelocale(locale_);
        }
    }
    ScopedThreadLocale(const ScopedThreadLocale&) = delete;
    ScopedThreadLocale& operator=(const ScopedThreadLocale&) = delete;

    bool active() const { return locale_ != nullptr; }

  private:
    locale_t locale_;
    locale_t previous_;
};

const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";

TEST(ThreadCodePageTest, PlainCLocaleSendsUtf8InsteadOfQuestionMarks) {
    for (const char* name : {"C", "POSIX"}) {
        ScopedThreadLocale locale(name);
        ASSERT_TRUE(locale.active()) << name;
        EXPECT_EQ(ToAnsi(kChineseUtf8), kChineseUtf8) << name;
        EXPECT_EQ(FromAnsi(kChineseUtf8.c_str()), kChineseUtf8) << name;
        EXPECT_EQ(ToMarketplace(kChineseUtf8), kChineseUtf8) << name;
    }
}

TEST(ThreadCodePageTest, Utf8LocaleSendsUtf8) {
    ScopedThreadLocale locale("C.UTF-8");
    if (!locale.active()) {
        GTEST_SKIP() << "no C.UTF-8 locale on this system";
    }
    EXPECT_EQ(EncodeText(kChineseUtf8, CodePage::ThreadAnsi), kChineseUtf8);
    EXPECT_EQ(EncodeText(kChineseUtf8, CodePage::Marketplace), kChineseUtf8);
}

}  // namespace
}  // namespace kesto
