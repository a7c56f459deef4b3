#include "app/win32/shell_open.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <thread>

namespace kesto::win32 {

namespace {

// The shell's handlers may use COM; each thread that asks the shell initialises it for itself.
class ThreadCom {
  public:
    ThreadCom()
        : initialised_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ThreadCom() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ThreadCom(const ThreadCom&) = delete;
    ThreadCom& operator=(const ThreadCom&) = delete;

  private:
    bool initialised_;
};

}  // namespace

bool ShellOpen(const std::wstring& target) {
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void ShellOpenOnOwnThread(std::wstring target, std::function<void()> notOpened) {
    std::thread([target = std::move(target), notOpened = std::move(notOpened)] {
        const ThreadCom com;
        if (!ShellOpen(target) && notOpened) {
            notOpened();
        }
    }).detach();
}

}  // namespace kesto::win32
