#include "support/file_digest.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/md5.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;

// The test suite of RFC 1321, appendix A.5, plus longer inputs that cross the 1,024-byte blocks
// the file digest reads in.
const struct {
    std::string content;
    const char* digest;
} kDigestCases[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
    {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
};

TEST(FileDigestTest, MatchesRfc1321TestSuite) {
    TempFolder folder;
    for (const auto& c : kDigestCases) {
        const auto file = folder.Write("sample.bin", c.content);
        EXPECT_EQ(FileMd5Hex(PathToUtf8(file)), c.digest) << "length " << c.content.size();
    }
}

TEST(FileDigestTest, FileAcrossBlockBoundariesMatchesOneShotDigest) {
    TempFolder folder;
    std::string content;
    for (int i = 0; i < 3000; ++i) {
        content += static_cast<char>(i * 7);  // binary bytes, CR and LF among them
    }
    for (const std::size_t size : {1023u, 1024u, 1025u, 2048u, 3000u}) {
        const std::string part = content.substr(0, size);
        Md5 md5;
        md5.Update(part.data(), part.size());
        std::string expected;
        char hex[3];
        for (const unsigned char byte : md5.Finish()) {
            std::snprintf(hex, sizeof hex, "%02x", byte);
            expected += hex;
        }
        const auto file = folder.Write("block.bin", part);
        EXPECT_EQ(FileMd5Hex(PathToUtf8(file)), expected) << "size " << size;
    }
}

TEST(FileDigestTest, UnreadablePathGivesSingleBlank) {
    TempFolder folder;
    EXPECT_EQ(FileMd5Hex(folder.Folder() + "missing.jpg"), " ");
    EXPECT_EQ(FileMd5Hex(folder.Folder()), " ");
    EXPECT_EQ(FileMd5Hex(""), " ");
}

TEST(FileDigestTest, OpensFilesWithChineseNames) {
    TempFolder folder;
    const auto file = folder.Write("\xE5\x9B\xBE.jpg", "abc");  // 图.jpg
    EXPECT_EQ(FileMd5Hex(PathToUtf8(file)), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace kesto
