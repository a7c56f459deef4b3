// A private file (the login cookie file) written in one step on Windows.

#include "platform/private_file.h"

#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::ReadFile;
using testing::TempFolder;

TEST(LoginCookieFileTest, SavingReplacesTheFileWholeAndRefusesNoPath) {
    const TempFolder folder;
    const std::string path = folder.Folder() + "cookies.txt";
    EXPECT_TRUE(SavePrivateFile(path, "a much longer first content\n"));
    EXPECT_TRUE(SavePrivateFile(path, "second\n"));
    EXPECT_EQ(ReadFile(folder.path() / "cookies.txt"), "second\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "cookies.txt.saving"));
    EXPECT_FALSE(SavePrivateFile("", "x"));
}

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};

// The SID of the user the test runs as.
std::vector<BYTE> CurrentUser() {
    HANDLE token = nullptr;
    EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    EXPECT_TRUE(GetTokenInformation(token, TokenUser, user.data(), size, &size));
    CloseHandle(token);
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    const auto* begin = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(begin, begin + GetLengthSid(sid));
}

// The SID of the local system account.
std::vector<BYTE> LocalSystem() {
    std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = static_cast<DWORD>(sid.size());
    EXPECT_TRUE(CreateWellKnownSid(WinLocalSystemSid, nullptr, sid.data(), &size));
    return sid;
}

// Read back from the saved file: its DACL lets the current user read it and nobody else at it.
// Wine keeps no DACL of its own but derives one from the file's Unix mode, always with an entry
// for the system account beside the owner's and without the protection flag; so the test admits
// the system account and does not look at the flag. A file saved with the default rights shows an
// entry for everyone there.
TEST(LoginCookieFileTest, OnlyTheCurrentUserMayReadTheFile) {
    const TempFolder folder;
    const std::string path = folder.Folder() + "cookies.txt";
    ASSERT_TRUE(SavePrivateFile(path, "secret\n"));
    ASSERT_TRUE(SavePrivateFile(path, "replaced\n"));  // over an existing file too

    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring file = (folder.path() / "cookies.txt").wstring();
    ASSERT_EQ(GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, &dacl, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    const std::unique_ptr<void, LocalFreer> descriptorMemory(descriptor);
    ASSERT_NE(dacl, nullptr);
    std::vector<BYTE> user = CurrentUser();
    std::vector<BYTE> system = LocalSystem();
    bool userMayRead = false;
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* entry = nullptr;
        ASSERT_TRUE(GetAce(dacl, index, &entry));
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        ASSERT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        const bool forUser = EqualSid(sid, user.data()) != FALSE;
        EXPECT_TRUE(forUser || EqualSid(sid, system.data())) << "entry " << index;
        userMayRead = userMayRead || (forUser && (allowed->Mask & FILE_GENERIC_READ) ==
                                                     static_cast<DWORD>(FILE_GENERIC_READ));
    }
    EXPECT_TRUE(userMayRead);
}

}  // namespace
}  // namespace kesto
