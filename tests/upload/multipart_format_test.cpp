#include "upload/multipart_format.h"

#include <gtest/gtest.h>

namespace kesto::multipart {
namespace {

TEST(MultipartFormat, MimeTypeFromTheLastDotOfThePath) {
    const struct {
        const char* path;
        const char* type;
    } cases[] = {
        {"a/PHOTO.PNG", "image/gif"},   {"b.Jpeg", "image/jpeg"},    {"c.jpg", "image/jpeg"},
        {"d.gif", "image/gif"},         {"photo.bmp", "text/plain"}, {"noextension", "text/plain"},
        {"dir.jpg/file", "text/plain"}, {"x.jpgx", "text/plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MimeTypeOf(c.path), c.type) << c.path;
    }
}

TEST(MultipartFormat, FileNamesCannotBreakOutOfTheirParameter) {
    EXPECT_EQ(FileNameOf("C:\\pics\\a.jpg"), "a.jpg");
    EXPECT_EQ(FileNameOf("/tmp/pics/a.jpg"), "a.jpg");
    EXPECT_EQ(FileNameOf("/tmp/a\".jpg"), "a%22.jpg");
    EXPECT_EQ(FileNameOf("/tmp/a\r\nX-Injected: 1.jpg"), "a%0D%0AX-Injected: 1.jpg");
    EXPECT_EQ(QuotedParameter("na\"me"), "na%22me");
}

}  // namespace
}  // namespace kesto::multipart
