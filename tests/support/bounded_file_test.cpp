#include "support/bounded_file.h"

#include <gtest/gtest.h>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;

TEST(ReadRegularFileTest, ReadsOnlyRegularFilesWithinTheLimit) {
    const TempFolder folder;
    folder.Write("text.txt", "12345");
    folder.Write("sub/inner.txt", "x");
    struct Case {
        const char* name;
        std::uintmax_t limit;
        FileReadResult expected;
    };
    const Case cases[] = {
        {"text.txt", 5, FileReadResult::kRead},
        {"text.txt", 4, FileReadResult::kTooLarge},
        {"missing.txt", 100, FileReadResult::kMissing},
        {"sub", 100, FileReadResult::kNotRegular},
    };
    for (const Case& c : cases) {
        std::string bytes = "untouched";
        EXPECT_EQ(ReadRegularFile(folder.Folder() + c.name, c.limit, bytes), c.expected) << c.name;
        EXPECT_EQ(bytes, c.expected == FileReadResult::kRead ? "12345" : "untouched") << c.name;
    }
}

}  // namespace
}  // namespace kesto
