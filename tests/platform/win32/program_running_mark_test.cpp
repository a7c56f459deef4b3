// The mark a running program leaves for the installer, looked for by the name the installer
// opens (packaging/windows/kesto-decor.nsi).

#include "platform/program_running_mark.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

namespace kesto {
namespace {

bool InstallerSeesARunningProgram() {
    const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\kesto-decor-running");
    if (mutex == nullptr) {
        return false;
    }
    CloseHandle(mutex);
    return true;
}

// Both programs, or two runs of one, hold the mark: it goes only with the last of them.
TEST(ProgramRunningMarkTest, LastsAsLongAsAnyProgramHoldsIt) {
    ASSERT_FALSE(InstallerSeesARunningProgram());
    auto design = ProgramRunningMark::Leave();
    ASSERT_NE(design, nullptr);
    auto decorate = ProgramRunningMark::Leave();
    ASSERT_NE(decorate, nullptr);
    EXPECT_TRUE(InstallerSeesARunningProgram());
    design.reset();
    EXPECT_TRUE(InstallerSeesARunningProgram());
    decorate.reset();
    EXPECT_FALSE(InstallerSeesARunningProgram());
}

}  // namespace
}  // namespace kesto
