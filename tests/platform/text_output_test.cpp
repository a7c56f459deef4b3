// The program's text on its streams: a file or a pipe gets the UTF-8 bytes unchanged on every
// system.

#include "platform/text_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace kesto {
namespace {

TEST(TextOutputTest, AFileGetsTheUtf8BytesUnchanged) {
    const std::string text =
        "\xE8\xA3\x85\xE4\xBF\xAE\xE5\xAE\x8C\xE6\x88\x90\xE3\x80\x82 "
        "\xEC\x82\xAC\xEC\xA7\x84\xF0\x9F\x8C\xB8.jpg\n";  // 装修完成。 사진🌸.jpg
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    ASSERT_NE(file, nullptr);
    WriteText(file.get(), "kept ");
    WriteText(file.get(), text);
    std::rewind(file.get());
    std::string read(64, '\0');
    read.resize(std::fread(read.data(), 1, read.size(), file.get()));
    EXPECT_EQ(read, "kept " + text);
}

}  // namespace
}  // namespace kesto
