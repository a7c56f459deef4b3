// The running mark on Windows: a named mutex in the current session's namespace, never owned,
// only held open. The installer opens it by name (OpenMutexW): it exists while any handle to it
// is open, so it goes away with the last running program, however that program ends.

#include <windows.h>

#include "platform/program_running_mark.h"

namespace kesto {

namespace {

// The same name as in packaging/windows/kesto-decor.nsi.
constexpr wchar_t kMutexName[] = L"Local\\kesto-decor-running";

class Win32RunningMark final : public ProgramRunningMark {
  public:
    explicit Win32RunningMark(HANDLE mutex) : mutex_(mutex) {}
    ~Win32RunningMark() override { CloseHandle(mutex_); }
    Win32RunningMark(const Win32RunningMark&) = delete;
    Win32RunningMark& operator=(const Win32RunningMark&) = delete;

  private:
    HANDLE mutex_;
};

}  // namespace

std::unique_ptr<ProgramRunningMark> ProgramRunningMark::Leave() {
    // A mutex another program made already is opened: both then hold it.
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    if (mutex == nullptr) {
        return nullptr;
    }
    return std::make_unique<Win32RunningMark>(mutex);
}

}  // namespace kesto
