// The data folders on POSIX systems: the user's from $XDG_DATA_HOME (or ~/.local/share), the
// system's from $XDG_DATA_DIRS.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/system.h"

namespace kesto {
namespace {

// Sets an environment variable (or unsets it) for the object's life, then puts back what was
// there.
class ScopedVariable {
  public:
    ScopedVariable(std::string name, const std::optional<std::string>& value)
        : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedVariable() { Set(old_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    void Set(const std::optional<std::string>& value) const {
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

TEST(SystemDataFoldersTest, UserDataFolderIsAnAbsoluteXdgDataHomeOrTheDefaultUnderHome) {
    const ScopedVariable home("HOME", "/home/u");
    const struct {
        std::optional<std::string> variable;
        std::string expected;
    } cases[] = {
        {std::nullopt, "/home/u/.local/share/"},
        {"", "/home/u/.local/share/"},
        {"relative/data", "/home/u/.local/share/"},  // invalid in the variable
        {"/data", "/data/"},
        {"/data/", "/data/"},  // one separator, not two
    };
    for (const auto& c : cases) {
        const ScopedVariable variable("XDG_DATA_HOME", c.variable);
        EXPECT_EQ(UserDataFolder(), c.expected) << c.variable.value_or("(unset)");
    }
}

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
        const ScopedVariable variable("XDG_DATA_DIRS", c.variable);
        EXPECT_EQ(SystemDataFolders(), c.expected) << c.variable.value_or("(unset)");
    }
}

}  // namespace
}  // namespace kesto
