#include "platform/portable/message_catalog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace kesto {
namespace {

constexpr char kUtf8Header[] = "Content-Type: text/plain; charset=UTF-8\n";

// A catalog as msgfmt lays it out: the header words, the originals' table, the translations'
// table, then the texts, each followed by a zero byte. Big-endian when swapped.
std::string MoFile(const std::vector<std::pair<std::string, std::string>>& entries,
                   bool swapped = false) {
    std::string file;
    const auto word = [&file, swapped](std::size_t value) {
        for (int i = 0; i < 4; ++i) {
            const int shift = swapped ? 24 - 8 * i : 8 * i;
            file += static_cast<char>((static_cast<std::uint32_t>(value) >> shift) & 0xffu);
        }
    };
    const std::size_t count = entries.size();
    const std::size_t originals = 28;
    const std::size_t translations = originals + 8 * count;
    std::size_t text = translations + 8 * count;
    for (const std::uint32_t value : {0x950412deu, 0u}) {
        word(value);
    }
    for (const std::size_t value : {count, originals, translations, std::size_t{0}, text}) {
        word(value);
    }
    std::string texts;
    for (const bool translated : {false, true}) {
        for (const auto& [english, translation] : entries) {
            const std::string& piece = translated ? translation : english;
            word(piece.size());
            word(text + texts.size());
            texts += piece;
            texts += '\0';
        }
    }
    return file + texts;
}

void SetWord(std::string& file, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        file[offset + i] = static_cast<char>((value >> (8 * i)) & 0xffu);
    }
}

TEST(MessageCatalogTest, FindsTranslationsAsMsgfmtStoresThem) {
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"", kUtf8Header},
        {"show this text", "显示本帮助"},
        {std::string("one file\0{} files", 17), std::string("{} 个文件\0unused", 18)},
        {"menu\x04Open", "打开（菜单）"},
        {"untranslated", ""},
        {"bad bytes", "\xe6\x98"},
        {"overlong", "\xc0\xaf"},
    };
    const struct {
        bool swapped;
        const char* english;
        const char* expected;  // null: no translation
    } cases[] = {
        {false, "show this text", "显示本帮助"},
        {true, "show this text", "显示本帮助"},  // a big-endian file
        {false, "one file", "{} 个文件"},        // plural forms: the first
        {false, "Open", nullptr},                // only with its context
        {false, "menu\x04Open", nullptr},
        {false, "untranslated", nullptr},
        {false, "bad bytes", nullptr},  // not UTF-8
        {false, "overlong", nullptr},
        {false, "", nullptr},  // the header is no message
        {false, "show this tex", nullptr},
    };
    for (const auto& c : cases) {
        const MessageCatalogRead read = ReadMessageCatalog(MoFile(entries, c.swapped));
        ASSERT_EQ(read.problem, "");
        const char* found = read.catalog.Find(c.english);
        if (c.expected == nullptr) {
            EXPECT_EQ(found, nullptr) << c.english;
        } else {
            ASSERT_NE(found, nullptr) << c.english;
            EXPECT_STREQ(found, c.expected);
        }
    }
}

TEST(MessageCatalogTest, RefusesDamagedOrForeignFiles) {
    const std::string good = MoFile({{"", kUtf8Header}, {"yes", "是"}, {"no", "否"}});
    const auto with = [&good](std::size_t offset, std::uint32_t value) {
        std::string file = good;
        SetWord(file, offset, value);
        return file;
    };
    std::string unterminated = good;
    unterminated.back() = 'x';
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"shorter than the header", good.substr(0, 27)},
        {"wrong magic number", with(0, 0x12345678)},
        {"unknown major revision", with(4, 0x00020000)},
        {"count past the end", with(8, 0xffffffff)},
        {"originals' table past the end", with(12, static_cast<std::uint32_t>(good.size()))},
        {"translations' table past the end", with(16, 0xfffffff0)},
        {"text offset past the end", with(28 + 4, static_cast<std::uint32_t>(good.size()))},
        {"text length past the end", with(28, 0x1000)},
        {"length and offset wrap around", with(28, 0xffffffff)},
        {"text without its zero byte", unterminated},
        {"another charset", MoFile({{"", "Content-Type: text/plain; charset=GBK\n"}, {"a", "b"}})},
    };
    for (const auto& c : cases) {
        const MessageCatalogRead read = ReadMessageCatalog(c.file);
        EXPECT_NE(read.problem, "") << c.what;
        EXPECT_EQ(read.catalog.size(), 0u) << c.what;
    }
    // Every cut of the file loses a text's end or a table: none is read.
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_NE(ReadMessageCatalog(good.substr(0, size)).problem, "") << size;
    }
    EXPECT_EQ(ReadMessageCatalog(good).catalog.size(), 2u);
    EXPECT_EQ(ReadMessageCatalog(with(4, 0x00010001)).problem, "");  // a known minor revision
}

// The Chinese catalog as the build compiles it with msgfmt, hash table included.
TEST(MessageCatalogTest, ReadsTheBuildsChineseCatalog) {
    std::ifstream file(KESTO_CHINESE_CATALOG, std::ios::binary);
    ASSERT_TRUE(file) << KESTO_CHINESE_CATALOG;
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const MessageCatalogRead read = ReadMessageCatalog(bytes);
    ASSERT_EQ(read.problem, "");
    EXPECT_GT(read.catalog.size(), 50u);
    const char* help = read.catalog.Find("  --help           show this text\n");
    ASSERT_NE(help, nullptr);
    EXPECT_STREQ(help, "  --help           显示本帮助\n");
    EXPECT_EQ(read.catalog.Find("no such message"), nullptr);
}

}  // namespace
}  // namespace kesto
