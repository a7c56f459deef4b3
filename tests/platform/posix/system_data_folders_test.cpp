// The system data folders on POSIX systems come from $XDG_DATA_DIRS.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>

#include "platform/system.h"

namespace kesto {
namespace {

// Sets XDG_DATA_DIRS (or unsets it) for the object's life, then puts back what was there.
class DataDirsVariable {
  public:
    explicit DataDirsVariable(const std::optional<std::string>& value) {
        if (const char* old = std::getenv(kName)) {
            old_ = old;
        }
        Set(value);
    }
    ~DataDirsVariable() { Set(old_); }
    DataDirsVariable(const DataDirsVariable&) = delete;
    DataDirsVariable& operator=(const DataDirsVariable&) = delete;

  private:
    static constexpr char kName[] = "XDG_DATA_DIRS";
    static void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv(kName, value->c_str(), 1);
        } else {
            unsetenv(kName);
        }
    }
    std::optional<std::string> old_;
};

TEST(SystemDataFoldersTest, AbsoluteEntriesOfXdgDataDirsInOrderWithTheDefaultWhenUnsetOrEmpty) {
    using Folders = std::vector<std::string>;
    const Folders defaults{"/usr/local/share/", "/usr/share/"};
    const struct {
        std::optional<std::string> variable;
        Folders expected;
    } cases[] = {
        {std::nullopt, defaults},
        {"", defaults},
        {"/opt/share", {"/opt/share/"}},
        {"/tmp/root/usr/share:/usr/share/", {"/tmp/root/usr/share/", "/usr/share/"}},
        {"/a::/b:", {"/a/", "/b/"}},         // empty entries skipped
        {"relative/share:/b:./c", {"/b/"}},  // relative entries skipped
        {"relative", {}},                    // set, but nothing usable
    };
    for (const auto& c : cases) {
        const DataDirsVariable variable(c.variable);
        EXPECT_EQ(SystemDataFolders(), c.expected) << c.variable.value_or("(unset)");
    }
}

}  // namespace
}  // namespace kesto
